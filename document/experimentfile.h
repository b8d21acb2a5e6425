// The experiment file: an experiment written as a versioned, human-readable
// JSON document (suffix ".kvx"), and read back strictly: every field is
// checked, and a file that is not what it should be is refused with the
// place and the reason. Standard C++ and nlohmann-json only, so that the
// window and kvsolve read and write the same files.
#pragma once

#include "experiment.h"

#include <cstddef>
#include <string>

namespace kv {

inline constexpr const char* ExperimentFormatName = "WinVELMAR experiment";
inline constexpr int ExperimentFormatVersion = 1;
inline constexpr const char* ExperimentSuffix = ".kvx";
// Larger files are refused before they are read: an experiment takes a few
// kilobytes.
inline constexpr std::size_t MaxExperimentFileSize = 16u << 20;

struct TExperimentFile {
    TExperimentState State;
    int Page = 0; // the page shown when the experiment was saved
    // Recovery copies only: the file the experiment was last saved to.
    std::string SavedAs;
};

// The file's text: UTF-8 JSON, two-space indented, numbers written so that
// they read back bit for bit. program names the writer ("WinVELMAR 2.0.0").
std::string ExperimentToJson(const TExperimentFile& file, const std::string& program);

// Reads a file's text. On failure returns false, leaves file unchanged and
// sets error to the place and the reason ("shocks.t2: -150 is outside -99 to
// 500").
bool ExperimentFromJson(const std::string& text, TExperimentFile& file, std::string& error);

// Reads the file at path (at most MaxExperimentFileSize bytes) as
// ExperimentFromJson does; error also covers a file that cannot be read.
bool ReadExperimentFile(const std::string& path, TExperimentFile& file, std::string& error);

// Writes text to path through a temporary file in the same folder that is
// renamed over path, so that a failed write leaves the old file whole; false
// with the system's reason in error.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error);

} // namespace kv
