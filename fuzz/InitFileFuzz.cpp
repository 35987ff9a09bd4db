// Feeds arbitrary bytes to TInitFile in both forms, then reads keys cut out of
// those same bytes, so that the keys often do occur in the body.
//
// Input: the document text. The same bytes, taken from the end, choose a series
// of reading operations, each with a key that is a slice of the text.
//
// Checked beyond "no crash": the INI body is the text itself; an XML body is
// the part of the text before the root's first end tag and survives being
// written and parsed again; every value read is what stands between its start
// and end pattern at the first match, the read cursor moves exactly behind it,
// and GetInt/GetBool agree with GetString.
#include "initfile/InitFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "InitFileFuzz: %s\n", what);
        std::abort();
    }
}

struct Patterns {
    std::string start;
    std::string end;
};

Patterns PatternsOf(const TInitFile& doc, const std::string& key) {
    if (doc.Form() == TInitFile::TForm::Xml)
        return {"<" + key + ">", "</" + key + ">"};
    return {key + "=\"", "\""};
}

// A search for `key` from `from` returned `value` and left the cursor at
// `cursor` (it was `before`). Checks that against the body.
void CheckFind(const TInitFile& doc, const std::string& key, size_t from, size_t before,
               const std::string& value, size_t cursor) {
    const std::string& body = doc.Body();
    const Patterns p = PatternsOf(doc, key);
    const size_t at = from > body.size() ? std::string::npos : body.find(p.start, from);
    const size_t valueStart = at == std::string::npos ? at : at + p.start.size();
    const size_t valueEnd =
        valueStart == std::string::npos ? valueStart : body.find(p.end, valueStart);
    if (valueEnd == std::string::npos) {
        Check(value.empty(), "a value was found where there is no entry");
        Check(cursor == before, "a failed find moved the read cursor");
        return;
    }
    Check(value == body.substr(valueStart, valueEnd - valueStart),
          "the value is not the text between the first start pattern and its end pattern");
    Check(cursor == valueEnd + p.end.size(), "the read cursor is not just behind the value");
}

void Exercise(TInitFile& doc, const std::string& text, FuzzedDataProvider& fdp) {
    const bool parsed = doc.Parse(text);
    if (doc.Form() == TInitFile::TForm::Ini) {
        Check(parsed, "the INI form refused a text");
        Check(doc.GetText() == text, "the INI text is not the input");
    } else if (parsed) {
        // The body starts behind the root's start tag (after at most a CR and
        // an LF) and ends at the first end tag of that root.
        const std::string startTag = "<" + doc.RootName() + ">";
        const std::string endTag = "</" + doc.RootName() + ">";
        const std::string& body = doc.Body();
        const size_t declEnd = text.find("?>");
        Check(declEnd != std::string::npos, "an XML text without a declaration end parsed");
        const size_t open = text.find(startTag, declEnd);
        Check(open != std::string::npos, "the XML root's start tag is not in the text");
        size_t bodyStart = open + startTag.size();
        if (text.compare(bodyStart, body.size() + endTag.size(), body + endTag) != 0)
            ++bodyStart;
        if (text.compare(bodyStart, body.size() + endTag.size(), body + endTag) != 0)
            ++bodyStart;
        Check(text.compare(bodyStart, body.size() + endTag.size(), body + endTag) == 0,
              "the XML body is not the text between the root's tags");
        Check(body.find(endTag) == std::string::npos, "the XML body runs past the first end tag");
        const std::string written = doc.GetText();
        Check(written.size() >= body.size() + endTag.size() + 2 &&
                  written.compare(written.size() - endTag.size() - 2, std::string::npos,
                                  endTag + "\r\n") == 0,
              "the XML text does not end with the root's end tag");
        TInitFile again(TInitFile::TForm::Xml);
        Check(again.Parse(written), "a written XML document does not parse");
        Check(again.RootName() == doc.RootName() && again.Body() == body,
              "a written XML document does not read back the same");
    } else {
        Check(doc.Body().empty(), "a failed XML parse of a fresh document left a body");
    }

    for (int round = 0; round < 16 && fdp.remaining_bytes() > 0; ++round) {
        const size_t offset = fdp.ConsumeIntegralInRange<size_t>(0, text.size());
        const size_t length = fdp.ConsumeIntegralInRange<size_t>(0, 24);
        const std::string key = text.substr(offset, length);
        const size_t before = doc.ReadCursor();
        switch (fdp.ConsumeIntegralInRange<int>(0, 3)) {
        case 0: {
            const std::string value = doc.GetString(key, "");
            CheckFind(doc, key, 0, before, value, doc.ReadCursor());
            Check(doc.GetString(key, "\x01") == (value.empty() ? "\x01" : value),
                  "GetString does not fall back to its default");
            break;
        }
        case 1: {
            const std::string value = doc.GetNextString(key);
            CheckFind(doc, key, before, before, value, doc.ReadCursor());
            break;
        }
        case 2: {
            const std::string value = doc.GetString(key, "");
            const int number = doc.GetInt(key, -7);
            Check(number == (value.empty() ? -7 : StrToIntSaturating(value)),
                  "GetInt disagrees with GetString");
            break;
        }
        case 3: {
            const std::string value = doc.GetString(key, "");
            const bool flag = doc.GetBool(key, true);
            Check(flag == (value.empty() || StrToIntSaturating(value) == 1),
                  "GetBool disagrees with GetString");
            break;
        }
        }
        Check(doc.ReadCursor() <= doc.Body().size(), "the read cursor left the body");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    // The whole input is the document; the reading operations are drawn from
    // its last bytes, so a realistic file is a realistic seed.
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (TInitFile::TForm form : {TInitFile::TForm::Ini, TInitFile::TForm::Xml}) {
        FuzzedDataProvider ops(data, size);
        TInitFile doc(form);
        Exercise(doc, text, ops);
    }
    return 0;
}
