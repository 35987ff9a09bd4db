// The main window's translation list keeps each item's name and path as the
// catalogue's exact bytes beside the text it shows.
#pragma once

#include "texts/QtText.h"

#include <QByteArray>
#include <QTreeWidgetItem>

#include <string>

// Column of the hidden file path in the translation list.
constexpr int PathColumn = 1;
// Item data holding the exact bytes of a list item's name and path.
constexpr int BytesRole = Qt::UserRole;

inline std::string ItemBytes(const QTreeWidgetItem* item, int column) {
    return item->data(column, BytesRole).toByteArray().toStdString();
}

inline void SetItemBytes(QTreeWidgetItem* item, int column, const std::string& bytes) {
    item->setText(column, column == PathColumn ? PathToQt(bytes) : ToDisplay(bytes));
    item->setData(column, BytesRole,
                  QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}
