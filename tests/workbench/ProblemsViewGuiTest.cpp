// The problems list followed edit by edit: after each random edit the rows
// it shows are those a list built afresh shows, and the model told its view
// of the rows that came or went, in ranges that add up to the new count,
// rather than resetting the whole list.
#include "workbench/ProblemLines.h"
#include "workbench/ProblemsView.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

QStringList Rows(const TProblemsView& view) {
    QStringList rows;
    for (int row = 0; row < view.model()->rowCount(); ++row)
        rows << view.model()->data(view.model()->index(row, 0)).toString();
    return rows;
}

TEST(ProblemsViewTest, EditByEditTheRowsAreThoseOfAListBuiltAfresh) {
    std::string reference;
    for (int i = 0; i < 60; ++i)
        reference += "K" + std::to_string(i) + "=\"Open %s now\"\r\n";
    // Lines with and without problems; a line broken in two; keys come and go.
    const std::vector<std::string> pool = {
        "K1=\"%s öffnen\"", "K2=\"öffnen\"", "K3=\" x\"",      "stray", "",
        "K4=\"%s",          "Extra=\"x\"",   "K5=\"%s jetzt\""};
    std::mt19937 random(11);
    std::string text;
    for (int i = 0; i < 60; ++i)
        text +=
            (i % 3 ? "K" + std::to_string(i) + "=\"%s öffnen\"" : pool[random() % pool.size()]) +
            "\r\n";
    TTranslationChecker checker;
    checker.Reset(text, std::make_shared<const TReferenceText>(reference));
    std::vector<TTranslationChecker::TMissingKey> missing = checker.MissingKeys();
    TProblemTexts texts;
    for (QString& check : texts.m_aMCheck)
        check = "%1 %2";
    TProblemLines lines;
    lines.Reset(checker);
    TProblemsView view(checker, missing, texts, nullptr);
    view.Rebuild(lines.Lines());

    // The count the model's signals say the list has.
    int told = view.model()->rowCount();
    int resets = 0;
    QAbstractItemModel* model = view.model();
    QObject::connect(model, &QAbstractItemModel::modelReset, [&] {
        ++resets;
        told = model->rowCount();
    });
    QObject::connect(model, &QAbstractItemModel::rowsAboutToBeRemoved,
                     [&](const QModelIndex&, int first, int last) {
                         EXPECT_LE(0, first);
                         EXPECT_LE(first, last);
                         EXPECT_LT(last, told);
                     });
    QObject::connect(model, &QAbstractItemModel::rowsRemoved,
                     [&](const QModelIndex&, int first, int last) { told -= last - first + 1; });
    QObject::connect(model, &QAbstractItemModel::rowsAboutToBeInserted,
                     [&](const QModelIndex&, int first, int last) {
                         EXPECT_LE(0, first);
                         EXPECT_LE(first, last);
                         EXPECT_LE(first, told);
                     });
    QObject::connect(model, &QAbstractItemModel::rowsInserted,
                     [&](const QModelIndex&, int first, int last) { told += last - first + 1; });
    int updates = 0;
    for (int edit = 0; edit < 400; ++edit) {
        const std::size_t count = checker.LineCount();
        const std::size_t first = random() % count;
        const std::size_t removed = std::min<std::size_t>(random() % 3, count - first);
        std::vector<std::string> fresh;
        for (std::size_t n = random() % 3; n > 0; --n)
            fresh.push_back(pool[random() % pool.size()]);
        if (fresh.empty() && removed == 0)
            fresh.push_back(pool[0]);
        const std::vector<std::string_view> views(fresh.begin(), fresh.end());
        const TLineSplice splice{first, removed, fresh.size()};
        const TTranslationChecker::TUpdate update = checker.ReplaceLines(first, removed, views);
        bool moved = false;
        if (update.MissingKeysChanged) {
            missing = checker.MissingKeys();
        } else if (splice.Added != splice.Removed && !missing.empty()) {
            TTranslationChecker::ShiftMissingKeys(missing, first, removed, fresh.size());
            moved = true;
        }
        const bool changed = lines.Apply(checker, splice, update);
        if (update.MissingKeysChanged) {
            view.Rebuild(lines.Lines());
        } else if (changed || moved) {
            const int before = resets;
            view.Update(lines.Lines(), update.Lines);
            EXPECT_EQ(resets, before) << edit;
            ++updates;
        } else {
            view.RefreshLines(update.Lines);
        }
        TProblemsView afresh(checker, missing, texts, nullptr);
        afresh.Rebuild(lines.Lines());
        ASSERT_EQ(Rows(view), Rows(afresh)) << edit;
        ASSERT_EQ(told, model->rowCount()) << edit;
    }
    EXPECT_GT(updates, 50);
}

} // namespace
