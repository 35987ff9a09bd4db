#include "support/WordlarkFixture.h"

#include "texts/QtText.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QTreeWidget>

ModalAnswers::Answer WordlarkFixture::ChooseFile(const std::string& path) {
    return [path](QWidget* dialog) {
        auto* fileDialog = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(fileDialog, nullptr);
        // Typed into the name box, as a user would; the dialog checks it on accepting.
        auto* name = fileDialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(PathToQt(path));
        QMetaObject::invokeMethod(fileDialog, "accept");
    };
}

void WordlarkFixture::SelectTranslation(const QString& name) {
    const auto items = Frm->LisTranslations->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << name.toStdString();
    Frm->LisTranslations->setCurrentItem(items.first());
    items.first()->setSelected(true);
}
