// The experiment as the window's document: it owns the model's experiment,
// turns its changes into a signal for the pages' grid models, and makes every
// change a student makes one step of the undo stack.
#pragma once

#include "closurecheck.h"
#include "experiment.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QUndoStack;
class TExperimentCommand;

class TExperimentDoc : public QObject {
    Q_OBJECT
public:
    explicit TExperimentDoc(QObject* parent = nullptr);
    ~TExperimentDoc() override;

    const kv::TExperiment& Experiment() const { return FExperiment; }
    // For tests and the file layer, which set up a state directly; pages
    // change the experiment through the operations below.
    kv::TExperiment& MutableExperiment() { return FExperiment; }

    QUndoStack* UndoStack() const { return FUndoStack; }
    static constexpr int UndoLimit = 1000;

    // The student's changes, each one undoable step (nothing is recorded
    // when the value does not change).
    // Stores an entered database cell; true when BaseData now has a negative flow.
    bool EditDataCell(int r, int c, double value);
    // Exchanges endogenous list item k with exogenous list item j; returns
    // the endogenous-list item of the variable that became endogenous.
    int Exchange(int k, int j);
    // The student's last exchange, as made (its Endogenous is exogenous now),
    // while the closure still holds it: an undo drops it, and so does another
    // experiment (New, Open, recovery). The explanations of a closure name the
    // exchange that undoes it.
    std::optional<kv::TExchange> LastExchange() const;
    // The check of the closure on the tableau of the initial database, with
    // the last exchange (CheckClosure), made once for each closure and
    // database and shared by the pages; null when the check itself fails.
    const kv::TClosureCheck* ClosureCheck() const;
    void SetShock(kv::Variable v, double value);
    void SetTitle(const QString& title);
    // Solves with the method; a stored solution is one undoable step. The
    // model's errors propagate to the caller.
    kv::SolveResult Solve(int method);
    void MoveSolutionLeft(int i);
    void MoveSolutionRight(int i);
    void DeleteSolution(int i);

    // Rebuilds the tableau from the database (not a step of its own: the
    // tableau follows the database).
    void RebuildTableau();

    // Replaces the whole experiment (New, Open, recovery) and forgets the
    // undo history.
    void Replace(const kv::TExperimentState& state);

    // Unsaved changes: steps done or undone since the last save, or a solve
    // that failed after changing the updated database.
    bool IsModified() const;
    void SetSaved();
    // A restored experiment is unsaved although nothing was done to it.
    void MarkModified() { setExtraModified(); }

    // Calls react (in receiver's lifetime) whenever one of parts changed.
    void OnChange(QObject* receiver, unsigned parts, std::function<void()> react);

    // What the step that Undo (Redo) would replay changes; 0 when there is none.
    unsigned NextUndoParts() const;
    unsigned NextRedoParts() const;

    // The page where a change of these parts is made, for showing the
    // student what an undo or redo changed.
    static int PageOfChange(unsigned parts);

signals:
    // Parts of the experiment changed (kv::TChange bits).
    void Changed(unsigned parts);
    void ModifiedChanged(bool modified);

private:
    friend class TExperimentCommand;
    // Makes a change and records it as one step when it changed anything.
    template <class Change> void record(TExperimentCommand* command, Change change);
    // Restores a remembered state, as undo and redo do.
    void restore(const kv::TExperimentState& state);
    void forgetClosureCheck();
    void setExtraModified();
    void updateModified();

    kv::TExperiment FExperiment;
    QUndoStack* FUndoStack;
    std::optional<kv::TExchange> FLastExchange;
    // ClosureCheck(), once made; forgotten when the closure or the tableau
    // changes, before the pages hear of it.
    mutable std::optional<kv::TClosureCheck> FClosureCheck;
    mutable bool FClosureChecked = false;
    bool FExtraModified = false;
    bool FLastModified = false;
};
