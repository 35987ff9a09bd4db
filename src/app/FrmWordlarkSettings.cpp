// The main window's preferences in Wordlark.ini: placement, font and the
// interface language.
#include "app/FrmWordlark.h"

#include "editor/SynEditor.h"
#include "texts/FontMapping.h"
#include "texts/Placement.h"
#include "texts/QtText.h"
#include "workbench/Workbench.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace {
// The system window-text colour in the toolkit's colour encoding, the colour of
// the main window's font as designed.
constexpr int WindowTextColour = -2147483640;
} // namespace

int TFrmWordlark::ScaleByDpi(int pixels) const {
    return ::ScaleByDpi(pixels, logicalDpiY());
}

void TFrmWordlark::LoadSettings(const std::string& path) {
    TInitFile doc(TInitFile::TForm::Xml);
    doc.Load(path);
    const int dpi = logicalDpiY();
    FUseBuildInFont = doc.GetBool("UseBuildInFont", false);
    FDesignFontHeight = FontHeight(font(), dpi);
    // The icon-title font of Windows is the desktop's general font here.
    QFont start = FUseBuildInFont ? font() : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    FUseFontSettings = doc.GetBool("UseFontSettings", true);
    FUseFontHeight = doc.GetBool("UseFontHeight", false);
    SetFontHeight(start, FDesignFontHeight);
    if (FUseFontSettings) {
        start.setFamily(ToDisplay(doc.GetString("FontDefName", FromDisplay(start.family()))));
        doc.GetInt("FontDefColor", 0); // stored for the record, not applied
        if (FUseFontHeight)
            SetFontHeight(start, doc.GetInt("FontDefHeight", FontHeight(start, dpi)));
        SetFontPitch(start, doc.GetInt("FontDefPitch", FontPitch(start)));
        FFontCharset = doc.GetInt("FontDefCharset", FFontCharset);
    }
    ApplyFont(start);

    const std::string language = doc.GetString("LanguageName", "");
    FLanguageStored = false;
    if (!language.empty()) {
        SelectProgramLanguage(language);
        FLanguageStored = true;
    }
}

void TFrmWordlark::ApplyFont(const QFont& font) {
    const int dpi = logicalDpiY();
    QFont own = this->font();
    own.setFamily(font.family());
    SetFontPitch(own, FontPitch(font));
    SetFontHeight(own, FontHeight(font, dpi));
    setFont(own);
    if (!LblInfo) // no controls yet (CompleteWindow)
        return;
    const int size = FontSize(own, dpi);

    QFont info = LblInfo->font();
    info.setFamily(own.family());
    SetFontPitch(info, FontPitch(own));
    info.setPointSize(size);
    LblInfo->setFont(info);

    MemTranslation->SetFontSizes(size + 1, size);
    FWorkbench->ApplyFont(size);
}

void TFrmWordlark::RestoreWindowPlacement(const std::string& path) {
    TInitFile doc(TInitFile::TForm::Xml);
    doc.Load(path);
    std::vector<TRect> screens;
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        const QRect g = primary->geometry();
        screens.push_back({g.x(), g.y(), g.width(), g.height()});
    }
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen == QGuiApplication::primaryScreen())
            continue;
        const QRect g = screen->geometry();
        screens.push_back({g.x(), g.y(), g.width(), g.height()});
    }
    const TWindowPlacement placement =
        PlaceWindow(doc.GetString("WinPos", ""), 650, 450, logicalDpiY(), screens);
    if (placement.Maximized) {
        setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    const TRect& b = placement.Bounds;
    move(b.Left, b.Top);
    resize(b.Width, b.Height);
}

void TFrmWordlark::SaveSettings(const std::string& path) {
    TInitFile doc(TInitFile::TForm::Xml);
    const int dpi = logicalDpiY();
    if (isMaximized())
        doc.AddString("WinPos", "MAX");
    else
        doc.AddString("WinPos", FormatWinPos({x(), y(), width(), height()}));
    doc.AddBool("UseBuildInFont", FUseBuildInFont);
    doc.AddBool("UseFontSettings", FUseFontSettings);
    doc.AddBool("UseFontHeight", FUseFontHeight);
    const QFont f = font();
    doc.AddString("FontDefName", FromDisplay(f.family()));
    doc.AddInt("FontDefColor", WindowTextColour);
    doc.AddInt("FontDefHeight", FontHeight(f, dpi));
    doc.AddInt("FontDefSize", FontSize(f, dpi));
    doc.AddInt("FontDefPitch", FontPitch(f));
    doc.AddInt("FontDefCharset", FFontCharset);
    doc.AddString("LanguageName", FLanguageStored ? CurrentLanguageName() : std::string());
    doc.Save(path);
}
