#include "pdfoutline.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFOutlineDocumentHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <cstddef>
#include <utility>

namespace docgen {

void WriteOutline(const std::string& in, const std::string& out,
                  const std::vector<OutlineEntry>& entries) {
    QPDF pdf;
    pdf.processFile(in.c_str());
    const std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();

    struct Item {
        QPDFObjectHandle Object;
        std::vector<std::size_t> Children;
        int Descendants = 0;
    };
    std::vector<Item> items(entries.size() + 1); // item 0: the outline root
    items[0].Object = pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Outlines >>"));
    std::vector<std::pair<int, std::size_t>> open{{0, 0}}; // (level, item) from the root down
    for (std::size_t i = 0; i < entries.size() && !pages.empty(); ++i) {
        const OutlineEntry& e = entries[i];
        while (open.back().first >= e.Level) {
            open.pop_back();
        }
        const std::size_t parent = open.back().second;
        QPDFObjectHandle entry = QPDFObjectHandle::newDictionary();
        entry.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(e.Title));
        const std::size_t page =
            std::min<std::size_t>(static_cast<std::size_t>(std::max(e.Page, 0)), pages.size() - 1);
        QPDFObjectHandle dest = QPDFObjectHandle::newArray();
        dest.appendItem(pages[page].getObjectHandle());
        dest.appendItem(QPDFObjectHandle::newName("/XYZ"));
        dest.appendItem(QPDFObjectHandle::newNull());
        dest.appendItem(QPDFObjectHandle::newReal(e.TopPt, 2));
        dest.appendItem(QPDFObjectHandle::newNull());
        entry.replaceKey("/Dest", dest);
        items[i + 1].Object = pdf.makeIndirectObject(entry);
        items[parent].Children.push_back(i + 1);
        for (const auto& ancestor : open) {
            ++items[ancestor.second].Descendants;
        }
        open.emplace_back(e.Level, i + 1);
    }
    for (Item& item : items) {
        const std::vector<std::size_t>& kids = item.Children;
        if (kids.empty()) {
            continue;
        }
        item.Object.replaceKey("/First", items[kids.front()].Object);
        item.Object.replaceKey("/Last", items[kids.back()].Object);
        item.Object.replaceKey("/Count", QPDFObjectHandle::newInteger(item.Descendants));
        for (std::size_t k = 0; k < kids.size(); ++k) {
            QPDFObjectHandle child = items[kids[k]].Object;
            child.replaceKey("/Parent", item.Object);
            if (k > 0) {
                child.replaceKey("/Prev", items[kids[k - 1]].Object);
            }
            if (k + 1 < kids.size()) {
                child.replaceKey("/Next", items[kids[k + 1]].Object);
            }
        }
    }
    QPDFObjectHandle root = pdf.getRoot();
    root.replaceKey("/Outlines", items[0].Object);
    root.replaceKey("/PageMode", QPDFObjectHandle::newName("/UseOutlines"));

    QPDFWriter writer(pdf, out.c_str());
    writer.setDeterministicID(true); // the same sources give the same file
    writer.write();
}

namespace {

void collect(std::vector<QPDFOutlineObjectHelper> items, int level,
             const std::vector<QPDFPageObjectHelper>& pages, std::vector<OutlineEntry>& out) {
    for (QPDFOutlineObjectHelper& item : items) {
        const QPDFObjGen target = item.getDestPage().getObjGen();
        int page = -1;
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (pages[i].getObjectHandle().getObjGen() == target) {
                page = static_cast<int>(i);
            }
        }
        out.push_back({level, item.getTitle(), page, 0});
        collect(item.getKids(), level + 1, pages, out);
    }
}

} // namespace

std::vector<OutlineEntry> ReadOutline(const std::string& path) {
    QPDF pdf;
    pdf.processFile(path.c_str());
    const std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
    QPDFOutlineDocumentHelper outline(pdf);
    std::vector<OutlineEntry> entries;
    collect(outline.getTopLevelOutlines(), 1, pages, entries);
    return entries;
}

} // namespace docgen
