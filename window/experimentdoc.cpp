#include "experimentdoc.h"

#include "celltext.h"
#include "page.h"

#include <QUndoCommand>
#include <QUndoStack>
#include <exception>
#include <memory>

// Commands ---------------------------------------------------------------------

// One step of the undo stack: the experiment remembered before and after a
// change, whole, so that undoing every step gives back the first state also
// where a failed solve changed the updated database between steps. Parts
// names what the change itself is about (where it is shown). The change is
// made before the command is pushed, so the first redo (which push() calls)
// does nothing.
class TExperimentCommand : public QUndoCommand {
public:
    TExperimentCommand(TExperimentDoc& doc, unsigned parts, const QString& text)
        : QUndoCommand(text), FDoc(doc), FParts(parts), FBefore(doc.Experiment().State()) {}

    // Remembers the state after the change; false when nothing changed.
    bool Capture() {
        FAfter = FDoc.Experiment().State();
        return !(FAfter == FBefore);
    }
    unsigned Parts() const { return FParts; }

    void undo() override { FDoc.restore(FBefore); }
    void redo() override {
        if (FDone) {
            FDoc.restore(FAfter);
        }
        FDone = true;
    }

private:
    TExperimentDoc& FDoc;
    unsigned FParts;
    kv::TExperimentState FBefore;
    kv::TExperimentState FAfter;
    bool FDone = false;
};

namespace {

QString Name(kv::Variable v) {
    return QString::fromStdString(kv::VarName(v));
}

class TDataCellCommand : public TExperimentCommand {
public:
    TDataCellCommand(TExperimentDoc& doc, int r, int c, double value)
        : TExperimentCommand(doc, kv::chBaseData,
                             QStringLiteral("edit data cell %1,%2 to %3")
                                 .arg(r)
                                 .arg(c)
                                 .arg(kv::FormatReal(value, 0, 2))) {}
};

class TExchangeCommand : public TExperimentCommand {
public:
    TExchangeCommand(TExperimentDoc& doc, kv::Variable endo, kv::Variable exo)
        : TExperimentCommand(doc, kv::chClosure,
                             QStringLiteral("exchange %1 and %2").arg(Name(endo), Name(exo))) {}
};

class TShockCommand : public TExperimentCommand {
public:
    TShockCommand(TExperimentDoc& doc, kv::Variable v, double value)
        : TExperimentCommand(
              doc, kv::chShocks,
              QStringLiteral("shock %1 = %2").arg(Name(v), kv::FormatReal(value, 0, 2))) {}
};

class TTitleCommand : public TExperimentCommand {
public:
    TTitleCommand(TExperimentDoc& doc, const QString& title)
        : TExperimentCommand(doc, kv::chTitle, QStringLiteral("title %1").arg(title)) {}
};

class TSolveCommand : public TExperimentCommand {
public:
    TSolveCommand(TExperimentDoc& doc, const QString& title)
        : TExperimentCommand(doc, kv::chNewData | kv::chShocks | kv::chSolutions | kv::chTitle,
                             QStringLiteral("solution %1").arg(title)) {}
};

class TMoveSolutionCommand : public TExperimentCommand {
public:
    TMoveSolutionCommand(TExperimentDoc& doc, const QString& title, bool left)
        : TExperimentCommand(
              doc, kv::chSolutions,
              QStringLiteral("move %1 %2")
                  .arg(title, left ? QStringLiteral("left") : QStringLiteral("right"))) {}
};

class TDeleteSolutionCommand : public TExperimentCommand {
public:
    TDeleteSolutionCommand(TExperimentDoc& doc, const QString& title)
        : TExperimentCommand(doc, kv::chSolutions, QStringLiteral("delete %1").arg(title)) {}
};

QString SolutionTitle(const kv::TExperiment& E, int i) {
    return i >= 1 && i <= E.Solutions.Count ? QString::fromStdString(E.Solutions.Items(i).Soltitle)
                                            : QString();
}

} // namespace

// TExperimentDoc ---------------------------------------------------------------

TExperimentDoc::TExperimentDoc(QObject* parent)
    : QObject(parent), FUndoStack(new QUndoStack(this)) {
    // Each step keeps two states of a few kilobytes.
    FUndoStack->setUndoLimit(UndoLimit);
    FExperiment.SetObserver([this](unsigned parts) {
        if (parts & (kv::chClosure | kv::chTableau)) {
            forgetClosureCheck();
        }
        emit Changed(parts);
    });
    connect(FUndoStack, &QUndoStack::cleanChanged, this, &TExperimentDoc::updateModified);
}

TExperimentDoc::~TExperimentDoc() {
    FExperiment.SetObserver({});
}

template <class Change> void TExperimentDoc::record(TExperimentCommand* command, Change change) {
    std::unique_ptr<TExperimentCommand> owned(command);
    change();
    if (owned->Capture()) {
        FUndoStack->push(owned.release());
    }
}

bool TExperimentDoc::EditDataCell(int r, int c, double value) {
    bool negative = false;
    record(new TDataCellCommand(*this, r, c, value),
           [&] { negative = FExperiment.SetDataCell(r, c, value); });
    return negative;
}

int TExperimentDoc::Exchange(int k, int j) {
    const kv::Variable endo = FExperiment.Closure.EndoVar(k);
    const kv::Variable exo = FExperiment.Closure.ExoList(j);
    int position = 0;
    // Known before the closure's change is announced, so that the pages
    // checking the new closure see it.
    FLastExchange = kv::TExchange{endo, exo};
    record(new TExchangeCommand(*this, endo, exo), [&] { position = FExperiment.Exchange(k, j); });
    return position;
}

std::optional<kv::TExchange> TExperimentDoc::LastExchange() const {
    const kv::TClosure& closure = FExperiment.Closure;
    if (FLastExchange &&
        (closure.Endo(FLastExchange->Endogenous) || !closure.Endo(FLastExchange->Exogenous))) {
        return std::nullopt; // undone; restore() forgets it once the closure is back
    }
    return FLastExchange;
}

const kv::TClosureCheck* TExperimentDoc::ClosureCheck() const {
    if (!FClosureChecked) {
        FClosureChecked = true;
        try {
            FClosureCheck =
                kv::CheckClosure(FExperiment.Tableau, FExperiment.Closure, LastExchange());
        } catch (const std::exception&) {
            FClosureCheck.reset();
        }
    }
    return FClosureCheck ? &*FClosureCheck : nullptr;
}

void TExperimentDoc::forgetClosureCheck() {
    FClosureChecked = false;
    FClosureCheck.reset();
}

void TExperimentDoc::SetShock(kv::Variable v, double value) {
    record(new TShockCommand(*this, v, value), [&] { FExperiment.SetShock(v, value); });
}

void TExperimentDoc::SetTitle(const QString& title) {
    record(new TTitleCommand(*this, title), [&] { FExperiment.SetTitle(title.toStdString()); });
}

kv::SolveResult TExperimentDoc::Solve(int method) {
    auto command =
        std::make_unique<TSolveCommand>(*this, QString::fromStdString(FExperiment.Title));
    const int before = FExperiment.Solutions.SimCount;
    kv::SolveResult result;
    try {
        result = FExperiment.Solve(method);
    } catch (...) {
        setExtraModified();
        throw;
    }
    if (FExperiment.Solutions.SimCount != before) {
        command->Capture();
        FUndoStack->push(command.release());
    } else {
        // A failed solve leaves its partial results in the updated database
        // and the vector: not a step of its own, but an unsaved change.
        setExtraModified();
    }
    return result;
}

void TExperimentDoc::MoveSolutionLeft(int i) {
    record(new TMoveSolutionCommand(*this, SolutionTitle(FExperiment, i), true),
           [&] { FExperiment.MoveSolutionLeft(i); });
}

void TExperimentDoc::MoveSolutionRight(int i) {
    record(new TMoveSolutionCommand(*this, SolutionTitle(FExperiment, i), false),
           [&] { FExperiment.MoveSolutionRight(i); });
}

void TExperimentDoc::DeleteSolution(int i) {
    record(new TDeleteSolutionCommand(*this, SolutionTitle(FExperiment, i)),
           [&] { FExperiment.DeleteSolution(i); });
}

void TExperimentDoc::RebuildTableau() {
    FExperiment.RebuildTableau();
}

void TExperimentDoc::Replace(const kv::TExperimentState& state) {
    FLastExchange.reset();
    forgetClosureCheck(); // it put the last exchange first
    FUndoStack->clear();
    FExperiment.Assign(state);
    SetSaved();
}

bool TExperimentDoc::IsModified() const {
    return FExtraModified || !FUndoStack->isClean();
}

void TExperimentDoc::SetSaved() {
    FExtraModified = false;
    FUndoStack->setClean();
    updateModified();
}

void TExperimentDoc::setExtraModified() {
    FExtraModified = true;
    updateModified();
}

void TExperimentDoc::updateModified() {
    const bool modified = IsModified();
    if (modified != FLastModified) {
        FLastModified = modified;
        emit ModifiedChanged(modified);
    }
}

void TExperimentDoc::restore(const kv::TExperimentState& state) {
    const unsigned parts = kv::DifferingParts(FExperiment.State(), state);
    FExperiment.Assign(state, parts);
    // An undone exchange stays forgotten when a redo makes it again.
    FLastExchange = LastExchange();
}

void TExperimentDoc::OnChange(QObject* receiver, unsigned parts, std::function<void()> react) {
    connect(this, &TExperimentDoc::Changed, receiver,
            [parts, react = std::move(react)](unsigned changed) {
                if (changed & parts) {
                    react();
                }
            });
}

unsigned TExperimentDoc::NextUndoParts() const {
    const int i = FUndoStack->index();
    return FUndoStack->canUndo()
               ? static_cast<const TExperimentCommand*>(FUndoStack->command(i - 1))->Parts()
               : 0;
}

unsigned TExperimentDoc::NextRedoParts() const {
    const int i = FUndoStack->index();
    return FUndoStack->canRedo()
               ? static_cast<const TExperimentCommand*>(FUndoStack->command(i))->Parts()
               : 0;
}

int TExperimentDoc::PageOfChange(unsigned parts) {
    if (parts & kv::chSolutions) {
        return piResults;
    }
    if (parts & kv::chBaseData) {
        return piData;
    }
    if (parts & kv::chClosure) {
        return piClosure;
    }
    if (parts & kv::chShocks) {
        return piShocks;
    }
    return piSolve; // the title
}
