#include "editor/LineEdits.h"

#include "editor/SynEditor.h"
#include "initfile/KeyValueLine.h"

#include <string>
#include <vector>

using Sci = QsciScintillaBase;

std::size_t ReplaceChangedLines(TSynEditor& editor, std::string_view bytes) {
    std::vector<std::string> lines;
    ForEachLine(bytes, [&](std::string_view line) {
        lines.push_back(DecodeText(line, editor.Encoding()));
    });
    const auto count = static_cast<std::size_t>(editor.SendScintilla(Sci::SCI_GETLINECOUNT));
    std::size_t changed = 0;
    editor.BulkEdit([&] {
        if (lines.size() != count) {
            const std::string text = DecodeText(bytes, editor.Encoding());
            editor.SendScintilla(Sci::SCI_SETTARGETRANGE, 0UL,
                                 editor.SendScintilla(Sci::SCI_GETLENGTH));
            editor.SendScintilla(Sci::SCI_REPLACETARGET, text.size(), text.c_str());
            changed = lines.size();
            return;
        }
        for (std::size_t line = 0; line < count; ++line) {
            if (editor.LineView(line) == lines[line])
                continue;
            const long begin = editor.SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
            const long end = editor.SendScintilla(Sci::SCI_GETLINEENDPOSITION, line);
            editor.SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(begin), end);
            editor.SendScintilla(Sci::SCI_REPLACETARGET, lines[line].size(), lines[line].c_str());
            ++changed;
        }
    });
    return changed;
}
