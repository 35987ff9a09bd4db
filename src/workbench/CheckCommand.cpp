#include "workbench/CheckCommand.h"

#include "encoding/TextEncoding.h"
#include "encoding/Utf8.h"
#include "initfile/Catalogue.h"
#include "initfile/InitFile.h"
#include "initfile/WorkbenchChoices.h"
#include "platform/FileIO.h"
#include "platform/Platform.h"
#include "workbench/TranslationChecker.h"

#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <utility>

namespace {

const char* const CatalogueName = "Languages.ini";

const char* const Usage =
    "Usage: wordlark --check [--reference FILE] [--language NAME] [--json] FILE...\n";

const char* const Help =
    "Checks translation files as Wordlark's workbench does (placeholders, quotes,\n"
    "blanks, line breaks, punctuation, access keys, tabs, keys the reference lacks\n"
    "or that are missing, ...) and prints one line per problem:\n"
    "\n"
    "  FILE:LINE: reason\n"
    "\n"
    "then a summary line.\n"
    "\n"
    "  --reference FILE  the translation to check against. Without it, a file that\n"
    "                    a Languages.ini beside it lists is checked against the\n"
    "                    reference the workbench offers (English when listed,\n"
    "                    else the first other translation); any other file is\n"
    "                    checked by itself.\n"
    "  --language NAME   the reasons in one of Wordlark's languages (%s);\n"
    "                    English when not given.\n"
    "  --json            the same as one JSON document.\n"
    "  --help            this help.\n"
    "\n"
    "Exit status: 0 when no problem was found, 1 when some were, 2 on bad use or\n"
    "when a file cannot be read.\n";

struct TOptions {
    std::optional<std::string> Reference;
    std::optional<std::string> Language;
    bool Json = false;
    bool Help = false;
    std::vector<std::string> Files;
};

// Reads the arguments into `options`; empty when they are right, else what is wrong.
std::string ReadArguments(const std::vector<std::string>& arguments, TOptions& options) {
    bool filesOnly = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (filesOnly || a.size() < 2 || a[0] != '-') {
            options.Files.push_back(a);
        } else if (a == "--") {
            filesOnly = true;
        } else if (a == "--help" || a == "-h") {
            options.Help = true;
        } else if (a == "--json") {
            options.Json = true;
        } else {
            bool known = false;
            for (const auto& [name, value] :
                 {std::pair{std::string("--reference"), &options.Reference},
                  std::pair{std::string("--language"), &options.Language}}) {
                if (a == name) {
                    if (i + 1 >= arguments.size())
                        return name + " needs a value";
                    *value = arguments[++i];
                    known = true;
                } else if (a.compare(0, name.size() + 1, name + "=") == 0) {
                    *value = a.substr(name.size() + 1);
                    known = true;
                }
            }
            if (!known)
                return "unknown option " + a;
        }
    }
    if (!options.Help && options.Files.empty())
        return "no file to check";
    return {};
}

// `text` with %1, %2, ... replaced by `values` in one pass.
std::string Format(std::string_view text, const std::vector<std::string>& values) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(text[i + 1] - '1');
            if (n < values.size()) {
                out += values[n];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// The texts the command prints, in one language.
struct TTexts {
    std::vector<std::string> Reasons;
    std::string Summary = "Files checked: %1. Files with problems: %2. Problems: %3.";
    std::string CannotRead = "%1: the file cannot be read";

    TTexts() {
        for (std::size_t i = 0; i < ReasonCount; ++i)
            Reasons.emplace_back(ReasonDefaultText(static_cast<TReason>(i)));
    }
    // Takes the texts from one of the program's language files; false when
    // it cannot be read.
    bool Load(const std::string& path) {
        TInitFile file(TInitFile::TForm::Ini);
        if (!file.Load(path))
            return false;
        for (std::size_t i = 0; i < ReasonCount; ++i)
            Reasons[i] = file.GetString("FrmWordlark.m_aMCheck" +
                                            std::string(ReasonName(static_cast<TReason>(i))),
                                        Reasons[i]);
        Summary = file.GetString("CommandLine.CheckSummary", Summary);
        CannotRead = file.GetString("CommandLine.CheckCannotRead", CannotRead);
        return true;
    }
};

// The language file of one of the program's languages, named as its
// catalogue names it or as its file does after the "_" ("Francais" for
// Wordlark_Francais.ini), in any case. `names` gets every language's name.
std::optional<std::string> LanguageFile(const std::string& programFolder, const std::string& name,
                                        std::vector<std::string>& names) {
    const TCatalogueContents catalogue = ReadCatalogue(programFolder + CatalogueName);
    std::optional<std::string> found;
    for (const TCatalogueEntry& entry : catalogue.Entries) {
        names.push_back(entry.Name);
        std::string stem = platform::ExtractFileName(entry.Path);
        stem = stem.substr(0, stem.rfind('.'));
        stem = stem.substr(stem.find('_') + 1);
        if (!found && (SameLetters(entry.Name, name) || SameLetters(stem, name)))
            found = entry.Path;
    }
    return found;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names)
        out += (out.empty() ? "" : ", ") + name;
    return out;
}

// A file's text as the workbench shows it: UTF-8 when it is, else Windows-1252.
std::optional<std::string> ReadText(const std::string& path) {
    std::string bytes;
    if (!platform::ReadFileBytes(path, bytes))
        return std::nullopt;
    return DecodeText(bytes, IsValidUtf8(bytes) ? TTextEncoding::Utf8 : TTextEncoding::Windows1252);
}

// The reference the workbench offers for a file that a catalogue beside it
// lists (any file there, in fact: it is not offered itself).
std::optional<std::string> OfferedReference(const std::string& file) {
    const std::string folder = platform::ExtractFilePath(file);
    const std::string catalogue = folder + CatalogueName;
    if (!platform::FileExists(catalogue))
        return std::nullopt;
    const TCatalogueContents contents = ReadCatalogue(catalogue);
    const std::optional<std::size_t> chosen =
        ChooseReference(contents.Entries, folder + platform::ExtractFileName(file), std::nullopt);
    if (!chosen)
        return std::nullopt;
    return contents.Entries[*chosen].Path;
}

// What was found in one file.
struct TReport {
    std::string File;
    bool Read = false;
    std::optional<std::string> Reference;
    TTranslationChecker::TProgress Progress;
    std::vector<std::pair<std::size_t, TProblem>> Problems; // by line, from 1
};

// The problems of the checked text line by line, each missing key where it
// would go: after the line it would follow.
void CollectProblems(const TTranslationChecker& checker, TReport& report) {
    const std::vector<TTranslationChecker::TMissingKey> missing = checker.MissingKeys();
    std::size_t m = 0;
    const auto missingUpTo = [&](std::optional<std::size_t> line) {
        for (; m < missing.size() && (!line || !missing[m].After || *missing[m].After < *line); ++m)
            report.Problems.push_back(
                {missing[m].After.value_or(0) + 1, {TReason::MissingKey, {missing[m].Key}}});
    };
    for (std::size_t line = 0; line < checker.LineCount(); ++line) {
        if (!checker.HasProblems(line))
            continue;
        missingUpTo(line);
        for (TProblem& problem : checker.Problems(line))
            report.Problems.push_back({line + 1, std::move(problem)});
    }
    missingUpTo(std::nullopt);
}

// Text as a JSON string; bytes of no valid UTF-8 (a file name may hold them)
// as U+FFFD.
std::string JsonString(std::string_view s) {
    std::string out = "\"";
    for (std::size_t i = 0; i < s.size();) {
        const TUtf8Char c = NextUtf8(s, i);
        i += c.Length;
        if (!c.Valid) {
            out += "\\ufffd";
        } else if (c.Code == '"' || c.Code == '\\') {
            out += '\\';
            out += static_cast<char>(c.Code);
        } else if (c.Code < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c.Code));
            out += escaped;
        } else {
            AppendUtf8(out, c.Code);
        }
    }
    return out + '"';
}

} // namespace

int RunCheckCommand(const std::vector<std::string>& arguments, const std::string& programFolder,
                    std::ostream& out, std::ostream& err) {
    TOptions options;
    if (const std::string wrong = ReadArguments(arguments, options); !wrong.empty()) {
        err << "wordlark --check: " << wrong << "\n" << Usage << "Try 'wordlark --check --help'.\n";
        return CheckBadUse;
    }
    if (options.Help) {
        std::vector<std::string> names;
        LanguageFile(programFolder, {}, names);
        std::string help = Help;
        help.replace(help.find("%s"), 2, Joined(names));
        out << Usage << "\n" << help;
        return CheckFoundNothing;
    }

    TTexts texts;
    if (options.Language) {
        std::vector<std::string> names;
        const std::optional<std::string> file =
            LanguageFile(programFolder, *options.Language, names);
        if (!file) {
            err << "wordlark --check: no language " << *options.Language
                << "; the languages are: " << Joined(names) << "\n";
            return CheckBadUse;
        }
        if (!texts.Load(*file)) {
            err << Format(texts.CannotRead, {*file}) << "\n";
            return CheckBadUse;
        }
    }

    // References read once each.
    std::map<std::string, std::shared_ptr<const TReferenceText>> references;
    const auto reference = [&](const std::string& path) -> std::shared_ptr<const TReferenceText> {
        if (const auto hit = references.find(path); hit != references.end())
            return hit->second;
        std::shared_ptr<const TReferenceText> text;
        if (std::optional<std::string> read = ReadText(path))
            text = std::make_shared<const TReferenceText>(std::move(*read));
        return references[path] = text;
    };
    if (options.Reference && !reference(*options.Reference)) {
        err << Format(texts.CannotRead, {*options.Reference}) << "\n";
        return CheckBadUse;
    }

    std::vector<TReport> reports;
    TTranslationChecker checker;
    for (const std::string& file : options.Files) {
        TReport& report = reports.emplace_back();
        report.File = file;
        const std::optional<std::string> text = ReadText(file);
        if (!text)
            continue;
        report.Read = true;
        // The workbench checks without a reference it cannot read.
        std::shared_ptr<const TReferenceText> against;
        if (const std::optional<std::string> path =
                options.Reference ? options.Reference : OfferedReference(file)) {
            against = reference(*path);
            if (against)
                report.Reference = path;
        }
        checker.Reset(*text, against);
        report.Progress = checker.Progress();
        CollectProblems(checker, report);
    }

    std::size_t problems = 0;
    std::size_t filesWithProblems = 0;
    std::size_t unread = 0;
    for (const TReport& report : reports) {
        problems += report.Problems.size();
        filesWithProblems += !report.Problems.empty();
        unread += !report.Read;
    }
    const std::string summary =
        Format(texts.Summary, {std::to_string(reports.size() - unread),
                               std::to_string(filesWithProblems), std::to_string(problems)});
    const auto message = [&](const TProblem& problem) {
        return ProblemMessage(texts.Reasons[static_cast<std::size_t>(problem.Reason)], problem);
    };

    std::string printed;
    if (options.Json) {
        printed += "{\"files\": [";
        for (std::size_t f = 0; f < reports.size(); ++f) {
            const TReport& report = reports[f];
            printed += f ? ",\n  " : "\n  ";
            printed += "{\"file\": " + JsonString(report.File);
            if (!report.Read) {
                printed +=
                    ", \"error\": " + JsonString(Format(texts.CannotRead, {report.File})) + "}";
                continue;
            }
            printed += ", \"reference\": " +
                       (report.Reference ? JsonString(*report.Reference) : std::string("null"));
            printed += ", \"translated\": " + std::to_string(report.Progress.Translated) +
                       ", \"phrases\": " + std::to_string(report.Progress.Total) +
                       ", \"problems\": [";
            for (std::size_t p = 0; p < report.Problems.size(); ++p) {
                const auto& [line, problem] = report.Problems[p];
                printed += p ? ",\n    " : "\n    ";
                printed += "{\"line\": " + std::to_string(line) +
                           ", \"reason\": " + JsonString(ReasonName(problem.Reason)) +
                           ", \"params\": [";
                for (std::size_t i = 0; i < problem.Params.size(); ++i)
                    printed += (i ? ", " : "") + JsonString(problem.Params[i]);
                printed += "], \"message\": " + JsonString(message(problem)) + "}";
            }
            printed += report.Problems.empty() ? "]}" : "\n  ]}";
        }
        printed += "\n], \"filesChecked\": " + std::to_string(reports.size() - unread) +
                   ", \"filesWithProblems\": " + std::to_string(filesWithProblems) +
                   ", \"problems\": " + std::to_string(problems) +
                   ", \"summary\": " + JsonString(summary) + "}\n";
    } else {
        for (const TReport& report : reports) {
            if (!report.Read)
                err << Format(texts.CannotRead, {report.File}) << "\n";
            for (const auto& [line, problem] : report.Problems)
                printed +=
                    report.File + ':' + std::to_string(line) + ": " + message(problem) + '\n';
        }
        printed += summary + '\n';
    }
    out << printed;
    out.flush();

    if (unread > 0)
        return CheckBadUse;
    return problems > 0 ? CheckFoundProblems : CheckFoundNothing;
}
