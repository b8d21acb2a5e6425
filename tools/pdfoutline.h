// The outline of a PDF file (the bookmarks a viewer lists), written and read
// with qpdf. Standard C++ only: qpdf's headers are kept out of the files that
// include Qt.
#pragma once

#include <string>
#include <vector>

namespace docgen {

struct OutlineEntry {
    int Level = 1;     // 1 for the top level; an entry nests under the last one above its level
    std::string Title; // UTF-8
    int Page = 0;      // from 0
    double TopPt = 0;  // where the entry opens: height above the foot of the page, in points
};

// Copies the PDF file in to out with entries as its outline, each opening its
// page at its height; the viewer shows the outline on opening. Raises
// std::runtime_error (qpdf's errors) when a file cannot be read or written.
void WriteOutline(const std::string& in, const std::string& out,
                  const std::vector<OutlineEntry>& entries);

// The outline of a PDF file, depth first (TopPt left 0); a page outside the
// document is -1.
std::vector<OutlineEntry> ReadOutline(const std::string& path);

} // namespace docgen
