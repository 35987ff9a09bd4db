#include "app/ExchangeCommands.h"

#include "app/ExitCode.h"
#include "encoding/TextEncoding.h"
#include "initfile/Catalogue.h"
#include "initfile/WorkbenchChoices.h"
#include "platform/FileIO.h"
#include "platform/Platform.h"
#include "texts/Registration.h"
#include "workbench/Exchange.h"
#include "workbench/PoFile.h"
#include "workbench/XliffReader.h"
#include "workbench/XliffWriter.h"

#include <map>
#include <optional>
#include <set>

namespace {

// The options of a command, each with its value, and its other arguments.
struct TArguments {
    std::map<std::string, std::string> Options;
    std::vector<std::string> Files;
    std::string Error;

    std::optional<std::string> Option(const std::string& name) const {
        const auto hit = Options.find(name);
        if (hit == Options.end())
            return std::nullopt;
        return hit->second;
    }
};

TArguments ParseArguments(const std::vector<std::string>& args,
                          const std::set<std::string>& known) {
    TArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        if (name == "-o")
            name = "--output";
        if (name.size() < 2 || name[0] != '-') {
            parsed.Files.push_back(name);
            continue;
        }
        std::optional<std::string> value;
        if (const std::size_t eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        if (!known.contains(name)) {
            parsed.Error = "unknown option " + args[i];
            return parsed;
        }
        if (!value) {
            if (i + 1 == args.size()) {
                parsed.Error = name + " needs a value";
                return parsed;
            }
            value = args[++i];
        }
        parsed.Options[name] = *value;
    }
    return parsed;
}

struct TFailure {
    std::string Message;
};

std::string ReadFile(const std::string& path) {
    std::string bytes;
    if (!platform::ReadFileBytes(path, bytes))
        throw TFailure{path + ": cannot be read"};
    return bytes;
}

// The encoding named by an option, else UTF-8 when the bytes are valid UTF-8
// and Windows-1252 otherwise, as the editor shows a file first.
TEncoding EncodingOf(const TArguments& args, const std::string& option, std::string_view bytes) {
    if (const auto name = args.Option(option)) {
        if (const auto encoding = EncodingFromName(*name))
            return *encoding;
        std::string names;
        for (const TEncoding encoding : AllEncodings)
            names += (names.empty() ? "" : ", ") + std::string(EncodingName(encoding));
        throw TFailure{"unknown encoding " + *name + " (known: " + names + ")"};
    }
    return IsValidUtf8(bytes) ? TEncoding::Utf8 : TEncoding::Windows1252;
}

// The catalogue beside a translation file and that file's own path as the
// catalogue lists it.
struct TBesideCatalogue {
    std::vector<TCatalogueEntry> Entries;
    std::string Path;
};

TBesideCatalogue CatalogueBeside(const std::string& file) {
    TBesideCatalogue catalogue;
    catalogue.Path = platform::ExpandFileName(file);
    catalogue.Entries =
        ReadCatalogue(platform::ExtractFilePath(catalogue.Path) + "Languages.ini").Entries;
    return catalogue;
}

// The language name the catalogue beside a file gives it, as UTF-8.
std::string CatalogueLanguage(const std::string& file) {
    const TBesideCatalogue catalogue = CatalogueBeside(file);
    for (const TCatalogueEntry& entry : catalogue.Entries)
        if (entry.Path == catalogue.Path)
            return IsValidUtf8(entry.Name) ? entry.Name
                                           : DecodeText(entry.Name, TEncoding::Windows1252);
    return {};
}

void WriteOutput(const std::string& path, const std::string& data, std::ostream& out) {
    if (path == "-") {
        out << data;
        return;
    }
    if (const std::string failure = platform::ReplaceFileBytes(path, data); !failure.empty())
        throw TFailure{path + ": cannot be written: " + failure};
}

template <class Command> int Run(const char* name, std::ostream& err, Command&& command) {
    try {
        return command();
    } catch (const TFailure& failure) {
        err << "wordlark " << name << ": " << failure.Message << "\n";
    } catch (const std::exception& error) {
        err << "wordlark " << name << ": " << error.what() << "\n";
    }
    return ExitFailure;
}

} // namespace

std::string ExchangeCommandsHelp() {
    return "--export FORMAT FILE -o OUT\n"
           "  Writes the translation FILE for the translators' other tools: FORMAT po\n"
           "  (gettext PO: msgctxt the key, msgid the reference's phrase, msgstr the\n"
           "  translation's), pot (a template of the reference alone) or xliff\n"
           "  (XLIFF 1.2). OUT - writes to the standard output.\n"
           "  --reference REF         the reference translation (default: English, or\n"
           "                          the first other translation, of the catalogue\n"
           "                          Languages.ini beside FILE); a pot is made of REF,\n"
           "                          or of FILE when REF is not given\n"
           "  --encoding ENC          how FILE's bytes read: UTF-8, Windows-1250 ...\n"
           "                          Windows-1257 (default: UTF-8 when the file is\n"
           "                          valid UTF-8, else Windows-1252)\n"
           "  --reference-encoding ENC  the same for REF\n"
           "  --language NAME         the translation's language (default: its name in\n"
           "                          the catalogue beside FILE)\n"
           "\n"
           "--import IN FILE\n"
           "  Brings the translations of the PO or XLIFF file IN back into FILE: only\n"
           "  the phrases that changed, between their quotes; every other byte stays.\n"
           "  Prints what could not be stored and the keys FILE lacks.\n"
           "  --encoding ENC          how FILE's bytes read (as above)\n"
           "  -o OUT                  writes the result to OUT instead of FILE\n"
           "\n"
           "Exit codes: 0 done; 1 done, but some phrases were not stored (import);\n"
           "2 bad use, or a file that cannot be read or written.\n";
}

int RunExportCommand(const std::vector<std::string>& rawArgs, std::ostream& out,
                     std::ostream& err) {
    return Run("--export", err, [&] {
        if (rawArgs.empty())
            throw TFailure{"which format? po, pot or xliff"};
        const std::string format = rawArgs.front();
        if (format != "po" && format != "pot" && format != "xliff")
            throw TFailure{"unknown format " + format + " (po, pot or xliff)"};
        const TArguments args = ParseArguments(
            {rawArgs.begin() + 1, rawArgs.end()},
            {"--reference", "--encoding", "--reference-encoding", "--language", "--output"});
        if (!args.Error.empty())
            throw TFailure{args.Error};
        const std::optional<std::string> output = args.Option("--output");
        if (!output)
            throw TFailure{"no output file: give it with -o OUT"};
        if (args.Files.size() > 1)
            throw TFailure{"one translation file only"};
        const bool isTemplate = format == "pot";
        if (args.Files.empty() && !(isTemplate && args.Option("--reference")))
            throw TFailure{"no translation file given"};

        TExchangeHeader header;
        header.Generator = std::string("Wordlark ") + WordlarkVersionNumber;
        header.Date = ExchangeDateNow();
        std::string referencePath;
        if (const auto reference = args.Option("--reference")) {
            referencePath = *reference;
        } else if (isTemplate) {
            referencePath = args.Files.front();
        } else {
            const TBesideCatalogue catalogue = CatalogueBeside(args.Files.front());
            const auto chosen = ChooseReference(catalogue.Entries, catalogue.Path, std::nullopt);
            if (!chosen)
                throw TFailure{"no reference: give it with --reference REF"};
            referencePath = catalogue.Entries[*chosen].Path;
        }
        const std::string referenceBytes = ReadFile(referencePath);
        const TExchangeText reference{referenceBytes,
                                      EncodingOf(args, "--reference-encoding", referenceBytes),
                                      platform::ExtractFileName(referencePath)};
        header.SourceLanguage = CatalogueLanguage(referencePath);
        if (header.SourceLanguage.empty())
            header.SourceLanguage = "English";

        std::string data;
        std::size_t units = 0;
        std::size_t translated = 0;
        if (isTemplate) {
            header.Original = reference.FileName;
            const std::vector<TExchangeUnit> list = TemplateUnits(reference);
            units = list.size();
            data = WritePo(header, list, true);
        } else {
            const std::string& path = args.Files.front();
            const std::string bytes = ReadFile(path);
            const TExchangeText translation{bytes, EncodingOf(args, "--encoding", bytes),
                                            platform::ExtractFileName(path)};
            header.Original = translation.FileName;
            const std::string language =
                args.Option("--language").value_or(CatalogueLanguage(path));
            header.Language = LanguageCode(language).value_or(language);
            const std::vector<TExchangeUnit> list = TranslationUnits(translation, reference);
            units = list.size();
            for (const TExchangeUnit& unit : list)
                translated += unit.Target.empty() ? 0 : 1;
            data = format == "po" ? WritePo(header, list) : WriteXliff(header, list);
        }
        WriteOutput(*output, data, out);
        if (*output != "-") {
            out << *output << ": " << units << " phrases";
            if (!isTemplate)
                out << ", " << translated << " translated";
            out << "\n";
        }
        return ExitOk;
    });
}

int RunImportCommand(const std::vector<std::string>& rawArgs, std::ostream& out,
                     std::ostream& err) {
    return Run("--import", err, [&] {
        const TArguments args = ParseArguments(rawArgs, {"--encoding", "--output"});
        if (!args.Error.empty())
            throw TFailure{args.Error};
        if (args.Files.size() != 2)
            throw TFailure{"give the exchange file and the translation file: --import IN FILE"};
        const std::string& exchangePath = args.Files[0];
        const std::string& path = args.Files[1];
        const std::string exchange = ReadFile(exchangePath);
        const std::string bytes = ReadFile(path);
        const TEncoding encoding = EncodingOf(args, "--encoding", bytes);

        TExchangeDocument document;
        try {
            document = ReadExchangeFile(exchange);
        } catch (const TExchangeFileError& error) {
            throw TFailure{exchangePath + ":" +
                           (error.Line() ? std::to_string(error.Line()) + ": " : " ") +
                           error.Message()};
        }
        const TImportResult result = ImportUnits(bytes, encoding, document.Units);

        const auto where = [&](std::size_t line) {
            return exchangePath + ":" + (line ? std::to_string(line) + ":" : std::string());
        };
        for (const TImportNote& note : result.Notes)
            out << where(note.Line) << " " << note.Key << ": " << ImportNoteText(note) << "\n";
        const std::string fileName = platform::ExtractFileName(path);
        for (const TExchangeUnit& unit : result.MissingKeys)
            out << where(unit.Line) << " " << unit.Key << ": " << fileName
                << " has no such key; add it, then import again\n";
        for (const std::size_t line : document.Unkeyed)
            out << where(line) << " an entry without a key (msgctxt or id) was left out\n";

        const std::string target = args.Option("--output").value_or(path);
        if (!result.Changed.empty() || target != path)
            WriteOutput(target, result.Text, out);
        out << target << ": " << result.Changed.size() << " phrases changed, "
            << result.Translated.size() - result.Changed.size() << " unchanged";
        const std::size_t left =
            result.Notes.size() + result.MissingKeys.size() + document.Unkeyed.size();
        if (left)
            out << ", " << left << " not stored";
        out << "\n";
        return left ? ExitFindings : ExitOk;
    });
}
