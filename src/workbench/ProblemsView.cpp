#include "workbench/ProblemsView.h"

#include "texts/InterfaceTexts.h"
#include "texts/QtText.h"

#include <QAbstractListModel>

#include <algorithm>

// The rows of the problems list, asked for only when shown.
class TProblemListModel : public QAbstractListModel {
public:
    explicit TProblemListModel(TProblemsView* view) : QAbstractListModel(view), FView(view) {}
    void Reset() {
        beginResetModel();
        endResetModel();
    }
    void Refresh() {
        if (rowCount() > 0)
            emit dataChanged(index(0), index(rowCount() - 1), {Qt::DisplayRole});
    }
    void Refresh(int first, int last) {
        emit dataChanged(index(first), index(last), {Qt::DisplayRole});
    }
    void BeginInsert(int first, int last) { beginInsertRows({}, first, last); }
    void EndInsert() { endInsertRows(); }
    void BeginRemove(int first, int last) { beginRemoveRows({}, first, last); }
    void EndRemove() { endRemoveRows(); }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : FView->RowCount();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
            return {};
        return FView->RowText(index.row());
    }

private:
    TProblemsView* FView;
};

namespace {
// Blanks made visible: a space as a middle dot, a tab as an arrow.
QString VisibleBlanks(const std::string& blanks) {
    QString shown = FromUtf8(blanks);
    shown.replace(' ', QChar(0x00B7));
    shown.replace('\t', QChar(0x2192));
    return shown;
}
} // namespace

// ---- Texts --------------------------------------------------------------------------

void TProblemTexts::Apply(const TInterfaceTexts& texts) {
    for (std::size_t i = 0; i < ReasonCount; ++i) {
        const auto reason = static_cast<TReason>(i);
        m_aMCheck[i] =
            texts.GetNationalText("FrmWordlark.m_aMCheck" + std::string(ReasonName(reason)),
                                  FromUtf8(ReasonDefaultText(reason)));
    }
    m_aMUntranslated = texts.GetNationalText("FrmWordlark.m_aMUntranslated", "Not translated yet");
    m_aMToBeChecked =
        texts.GetNationalText("FrmWordlark.m_aMToBeChecked", "Marked as to be checked");
}

QString TProblemTexts::ProblemText(const TProblem& problem) const {
    QString text = m_aMCheck[static_cast<std::size_t>(problem.Reason)];
    std::vector<QString> params;
    for (const std::string& p : problem.Params) {
        switch (problem.Reason) {
        case TReason::LeadingBlanks:
        case TReason::TrailingBlanks:
            params.push_back(VisibleBlanks(p));
            break;
        default:
            params.push_back(p.empty() ? QString(QChar(0x2013)) : FromUtf8(p));
            break;
        }
    }
    // In one pass, so a placeholder inside a parameter stays as it is.
    if (params.size() == 1)
        return text.arg(params[0]);
    if (params.size() >= 2)
        return text.arg(params[0], params[1]);
    return text;
}

QString TProblemTexts::LineHint(const TTranslationChecker& checker, std::size_t line) const {
    if (line >= checker.LineCount())
        return {};
    QStringList parts;
    for (const TProblem& problem : checker.Problems(line))
        parts << ProblemText(problem);
    if (checker.IsUntranslated(line))
        parts << m_aMUntranslated;
    if (checker.Status(line) == TPhraseStatus::ToBeChecked)
        parts << m_aMToBeChecked;
    return parts.join('\n');
}

// ---- The list -------------------------------------------------------------------------

TProblemsView::TProblemsView(const TTranslationChecker& checker,
                             const std::vector<TTranslationChecker::TMissingKey>& missingKeys,
                             const TProblemTexts& texts, QWidget* parent)
    : QListView(parent), FChecker(checker), FMissingKeys(missingKeys), FTexts(texts),
      FModel(new TProblemListModel(this)) {
    setObjectName("LisProblems");
    setUniformItemSizes(true);
    setMinimumHeight(24);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setModel(FModel);
    connect(this, &QListView::activated, this,
            [this](const QModelIndex& index) { emit RowChosen(index.row()); });
    connect(this, &QListView::clicked, this,
            [this](const QModelIndex& index) { emit RowChosen(index.row()); });
}

std::vector<TProblemsView::TRow>
TProblemsView::RowsOf(const std::vector<std::size_t>& lines) const {
    std::vector<TRow> rows;
    rows.reserve(lines.size() + FMissingKeys.size());
    // A missing key is listed where it would go: after the line it would follow.
    std::size_t m = 0;
    const auto missingBefore = [&](std::size_t line) {
        return m < FMissingKeys.size() && (!FMissingKeys[m].After || *FMissingKeys[m].After < line);
    };
    for (std::size_t line : lines) {
        while (missingBefore(line)) {
            rows.push_back({FMissingKeys[m].After.value_or(0), static_cast<int>(m)});
            ++m;
        }
        rows.push_back({line, -1});
    }
    for (; m < FMissingKeys.size(); ++m)
        rows.push_back({FMissingKeys[m].After.value_or(0), static_cast<int>(m)});
    return rows;
}

void TProblemsView::Rebuild(const std::vector<std::size_t>& lines) {
    std::vector<TRow> rows = RowsOf(lines);
    // Rows that only moved with their lines keep the list as it is; only
    // their texts change.
    const bool sameRows =
        rows.size() == FRows.size() &&
        std::equal(rows.begin(), rows.end(), FRows.begin(),
                   [](const TRow& a, const TRow& b) { return a.Missing == b.Missing; });
    FRows = std::move(rows);
    if (sameRows)
        FModel->Refresh();
    else
        FModel->Reset();
}

void TProblemsView::Update(const std::vector<std::size_t>& lines,
                           const std::vector<std::size_t>& changed) {
    std::vector<TRow> rows = RowsOf(lines);
    // The rows before the edit are as they were; those behind it the same
    // ones, moved together by as many lines as the edit added or removed.
    const std::size_t oldCount = FRows.size(), newCount = rows.size();
    std::size_t head = 0;
    while (head < oldCount && head < newCount && rows[head] == FRows[head])
        ++head;
    std::size_t tail = 0;
    const auto shift = [](const TRow& to, const TRow& from) {
        return static_cast<std::ptrdiff_t>(to.Line) - static_cast<std::ptrdiff_t>(from.Line);
    };
    const std::ptrdiff_t moved =
        head < oldCount && head < newCount ? shift(rows.back(), FRows.back()) : 0;
    while (tail < oldCount - head && tail < newCount - head) {
        const TRow& to = rows[newCount - 1 - tail];
        const TRow& from = FRows[oldCount - 1 - tail];
        if (to.Missing != from.Missing || shift(to, from) != moved)
            break;
        ++tail;
    }
    // Between them, rows replaced one for one, then rows removed or added.
    const auto oldMiddle = static_cast<int>(oldCount - head - tail);
    const auto newMiddle = static_cast<int>(newCount - head - tail);
    const int first = static_cast<int>(head);
    if (oldMiddle > newMiddle) {
        FModel->BeginRemove(first + newMiddle, first + oldMiddle - 1);
        FRows = std::move(rows);
        FModel->EndRemove();
    } else if (newMiddle > oldMiddle) {
        FModel->BeginInsert(first + oldMiddle, first + newMiddle - 1);
        FRows = std::move(rows);
        FModel->EndInsert();
    } else {
        FRows = std::move(rows);
    }
    if (const int common = std::min(oldMiddle, newMiddle); common > 0)
        FModel->Refresh(first, first + common - 1);
    RefreshLines(changed);
    // Rows behind the edit show other line numbers: the rows in view are
    // painted again, and the others ask for their texts when they come
    // into view.
    if (moved != 0 && tail > 0)
        viewport()->update();
}

void TProblemsView::Refresh() {
    FModel->Refresh();
}

void TProblemsView::RefreshLines(const std::vector<std::size_t>& lines) {
    // Rows are in the order of their lines; a line's problems are one row.
    auto from = FRows.begin();
    for (std::size_t line : lines) {
        from = std::lower_bound(from, FRows.end(), line,
                                [](const TRow& row, std::size_t l) { return row.Line < l; });
        for (auto row = from; row != FRows.end() && row->Line == line; ++row)
            if (row->Missing < 0) {
                const auto at = static_cast<int>(row - FRows.begin());
                FModel->Refresh(at, at);
            }
    }
}

const TProblemsView::TRow* TProblemsView::Row(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= FRows.size())
        return nullptr;
    return &FRows[static_cast<std::size_t>(row)];
}

QString TProblemsView::RowText(int row) const {
    const TRow* r = Row(row);
    if (!r)
        return {};
    if (r->Missing >= 0) {
        const auto& missing = FMissingKeys[static_cast<std::size_t>(r->Missing)];
        return QString::number(missing.After ? *missing.After + 1 : 1) + ": " +
               FTexts.ProblemText({TReason::MissingKey, {missing.Key}});
    }
    QStringList parts;
    for (const TProblem& problem : FChecker.Problems(r->Line))
        parts << FTexts.ProblemText(problem);
    return QString::number(r->Line + 1) + ": " + parts.join("; ");
}
