#include "workbench/XliffReader.h"

#include "workbench/PoFile.h"

#include <QByteArray>
#include <QXmlStreamReader>

namespace {

std::string Utf8(QStringView text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::string Attribute(const QXmlStreamReader& xml, QLatin1StringView name) {
    return Utf8(xml.attributes().value(name));
}

class TXliffReader {
public:
    explicit TXliffReader(std::string_view bytes)
        : FXml(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()))) {}

    TExchangeDocument Read() {
        if (FXml.readNextStartElement()) {
            if (FXml.name() != u"xliff")
                Fail("the file is no XLIFF document");
            if (FXml.attributes().value(QLatin1StringView("version")).startsWith(u"2"))
                Fail("XLIFF 2 is not supported; save the file as XLIFF 1.2");
            ReadChildren();
        }
        if (FXml.hasError())
            Fail(FXml.errorString().toStdString());
        return std::move(FDocument);
    }

private:
    // Elements nested deeper than any tool writes them end the reading
    // before they can exhaust the stack.
    static constexpr int MaxNesting = 256;
    struct TNesting {
        explicit TNesting(TXliffReader& reader) : Reader(reader) {
            if (++Reader.FNesting > MaxNesting)
                Reader.Fail("elements nested too deeply");
        }
        ~TNesting() { --Reader.FNesting; }
        TXliffReader& Reader;
    };

    [[noreturn]] void Fail(const std::string& what) const {
        throw TExchangeFileError(static_cast<std::size_t>(FXml.lineNumber()), what);
    }

    // The children of the current element: files, groups and bodies are gone
    // through, units read, everything else skipped.
    void ReadChildren() {
        const TNesting nesting(*this);
        while (FXml.readNextStartElement()) {
            const QStringView name = FXml.name();
            if (name == u"file") {
                if (FDocument.Header.Original.empty()) {
                    FDocument.Header.Original = Attribute(FXml, QLatin1StringView("original"));
                    FDocument.Header.SourceLanguage =
                        Attribute(FXml, QLatin1StringView("source-language"));
                    FDocument.Header.Language =
                        Attribute(FXml, QLatin1StringView("target-language"));
                }
                ReadChildren();
            } else if (name == u"body" || name == u"group") {
                ReadChildren();
            } else if (name == u"trans-unit") {
                ReadUnit();
            } else {
                FXml.skipCurrentElement(); // headers, binary units
            }
        }
    }

    void ReadUnit() {
        TExchangeUnit unit;
        unit.Line = static_cast<std::size_t>(FXml.lineNumber());
        unit.Key = Attribute(FXml, QLatin1StringView("resname"));
        if (unit.Key.empty())
            unit.Key = Attribute(FXml, QLatin1StringView("id"));
        unit.Locked = FXml.attributes().value(QLatin1StringView("translate")) == u"no";
        while (FXml.readNextStartElement()) {
            const QStringView name = FXml.name();
            if (name == u"source") {
                bool whole = true;
                unit.Source = ReadPhrase(whole);
            } else if (name == u"target") {
                const QString state =
                    FXml.attributes().value(QLatin1StringView("state")).toString();
                bool whole = true;
                std::string target = ReadPhrase(whole);
                if (state == u"new")
                    continue; // a target not yet translated, whatever it holds
                unit.Target = std::move(target);
                unit.Fuzzy = state.startsWith(u"needs-");
                if (!whole && !unit.Target.empty())
                    unit.Locked = true;
            } else if (name == u"note") {
                unit.Comments.push_back(
                    Utf8(FXml.readElementText(QXmlStreamReader::IncludeChildElements)));
            } else {
                FXml.skipCurrentElement(); // alternatives, contexts, counts
            }
        }
        if (unit.Key.empty())
            FDocument.Unkeyed.push_back(unit.Line);
        else
            FDocument.Units.push_back(std::move(unit));
    }

    // The text of the current element up to its end, inline elements
    // included; `whole` false when an element stands for text it lacks.
    std::string ReadPhrase(bool& whole) {
        const TNesting nesting(*this);
        std::string text;
        while (!FXml.atEnd()) {
            switch (FXml.readNext()) {
            case QXmlStreamReader::Characters:
                text += Utf8(FXml.text());
                break;
            case QXmlStreamReader::EntityReference:
                whole = false; // an entity the document's DTD declares
                break;
            case QXmlStreamReader::StartElement: {
                const QStringView name = FXml.name();
                if (name == u"g" || name == u"mrk" || name == u"ph" || name == u"bpt" ||
                    name == u"ept" || name == u"it" || name == u"sub") {
                    text += ReadPhrase(whole);
                } else {
                    whole = false; // x, bx, ex and unknown elements
                    FXml.skipCurrentElement();
                }
                break;
            }
            case QXmlStreamReader::EndElement:
                return text;
            default:
                break;
            }
        }
        if (FXml.hasError())
            Fail(FXml.errorString().toStdString());
        return text;
    }

    QXmlStreamReader FXml;
    TExchangeDocument FDocument;
    int FNesting = 0;
};

} // namespace

TExchangeDocument ReadXliff(std::string_view bytes) {
    return TXliffReader(bytes).Read();
}

TExchangeDocument ReadExchangeFile(std::string_view bytes) {
    std::string_view rest = bytes;
    if (rest.starts_with("\xEF\xBB\xBF"))
        rest.remove_prefix(3);
    const std::size_t first = rest.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && rest[first] == '<')
        return ReadXliff(bytes);
    return ReadPo(bytes);
}

TImportResult ImportExchangeFile(std::string_view translation, TEncoding encoding,
                                 std::string_view exchangeFile) {
    return ImportUnits(translation, encoding, ReadExchangeFile(exchangeFile).Units);
}
