#include "app/main_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPalette>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QUrl>
#include <optional>
#include <stdexcept>
#include <utility>

#include "app/app_windows.h"
#include "app/completion_popup.h"
#include "app/drawing_name.h"
#include "app/error_box.h"
#include "convert/settings.h"
#include "app/ui_font.h"
#include "app/wait_cursor.h"
#include "controls/about_box.h"
#include "dialogs/opt_dlg.h"
#include "dialogs/opt_dlg2.h"
#include "convert/load_save.h"
#include "preview/load_opengl.h"
#include "preview/pview.h"
// After the Qt headers: it brings in the X11 headers.
#include "platform/gl_loader.h"

namespace vertoko {

namespace {

// The open dialog's entries; every file may be read as DXF.
const QStringList kOpenFilters = {QStringLiteral("DXFﾌｧｲﾙ (*.dxf)"),
                                  QStringLiteral("全てのﾌｧｲﾙ (*)")};

// The save dialog's entries; their position (from 1) chooses the writer.
const QStringList kSaveFilters = {QStringLiteral("EASTRAY形式 (*.pol *.p)"),
                                  QStringLiteral("POV-Ray形式 (*.pov)"),
                                  QStringLiteral("OBJ形式 (*.obj)")};
const QStringList kSaveSuffixes = {QStringLiteral("pol"), QStringLiteral("pov"),
                                   QStringLiteral("obj")};

std::string FileMessage(const char* before, const std::string& path, const char* after) {
    return std::string(before) + path + after;
}

}  // namespace

TMainForm::TMainForm(std::string settingsPath, QStringList arguments, QWidget* parent)
    : QMainWindow(parent),
      settingsPath_(std::move(settingsPath)),
      settingsWritePath_(settingsPath_),
      arguments_(std::move(arguments)),
      reportError_(ShowErrorBox) {
    BuildComponents();
    FormCreate();
    newData = false;
    objects = nullptr;
    ReadSettingsFile();
    setAcceptDrops(true);
    openParam = !arguments_.isEmpty();
}

TMainForm::~TMainForm() {
    // A window destroyed without its close still gives its table back.
    FreeTable();
    // FormDestroy: the preview window is gone by now (DestroyAppWindows),
    // so no context is left when the libraries are closed.
    if (hOpenGL != nullptr) FreeOpenGL();
}

void TMainForm::BuildComponents() {
    setFont(UiFont());
    setWindowTitle(MainWindowTitle({}));
    resize(397, 326);
    move(237, 105);

    FileMenu = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    FileOpenItem = FileMenu->addAction(QStringLiteral("開く(&O)..."));
    FileOpenItem->setStatusTip(QStringLiteral("既存のﾌｧｲﾙを開く"));
    connect(FileOpenItem, &QAction::triggered, this, &TMainForm::FileOpen);
    FileSaveAsItem = FileMenu->addAction(QStringLiteral("名前を付けて保存(&A)..."));
    FileSaveAsItem->setStatusTip(QStringLiteral("ﾌｧｲﾙに別の名前を付けて保存"));
    FileSaveAsItem->setEnabled(false);
    connect(FileSaveAsItem, &QAction::triggered, this, &TMainForm::FileSaveAs);
    FileMenu->addSeparator();
    FileExitItem = FileMenu->addAction(QStringLiteral("終了(&X)"));
    FileExitItem->setStatusTip(QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝの終了"));
    connect(FileExitItem, &QAction::triggered, this, &TMainForm::FileExit);
    // The usual keys besides the Alt accelerators; a disabled item ignores
    // its key, so Ctrl+S saves only while there is something to save.
    FileOpenItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    FileSaveAsItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    FileExitItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    mOption = menuBar()->addMenu(QStringLiteral("ｵﾌﾟｼｮﾝ(&O)"));
    N1 = mOption->addAction(QStringLiteral("ﾃﾞｰﾀ入出力"));
    connect(N1, &QAction::triggered, this, &TMainForm::mOptionClick);
    N2 = mOption->addAction(QStringLiteral("プレビュー"));
    connect(N2, &QAction::triggered, this, &TMainForm::N2Click);

    mPview = menuBar()->addAction(QStringLiteral("ﾌﾟﾚﾋﾞｭｰ(&V)"));
    mPview->setEnabled(false);
    connect(mPview, &QAction::triggered, this, &TMainForm::mPviewClick);
    mAbout = menuBar()->addAction(QStringLiteral("Help(&H)"));
    mAbout->setShortcut(QKeySequence(Qt::Key_F1));
    connect(mAbout, &QAction::triggered, this, &TMainForm::mAboutClick);

    OpenDialog = new QFileDialog(this);
    OpenDialog->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog->setFileMode(QFileDialog::ExistingFile);
    OpenDialog->setNameFilters(kOpenFilters);
    OpenDialog->setDirectory(QDir::currentPath());
    CloseCompletionWhenFinished(OpenDialog);

    SaveDialog = new QFileDialog(this);
    SaveDialog->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog->setFileMode(QFileDialog::AnyFile);
    SaveDialog->setNameFilters(kSaveFilters);
    SaveDialog->setDefaultSuffix(kSaveSuffixes[0]);
    CloseCompletionWhenFinished(SaveDialog);
    // A name typed without an extension gets the one of the chosen type, so
    // the save command always has an extension to cut.
    connect(SaveDialog, &QFileDialog::filterSelected, this, [this](const QString& filter) {
        const qsizetype index = kSaveFilters.indexOf(filter);
        if (index >= 0) SaveDialog->setDefaultSuffix(kSaveSuffixes[index]);
    });

    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    Memo1->setUndoRedoEnabled(false);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setAttribute(Qt::WA_InputMethodEnabled, false);
    // Drops belong to the window, not to the log's text.
    Memo1->setAcceptDrops(false);
    QPalette palette = Memo1->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::blue);
    Memo1->setPalette(palette);
    setCentralWidget(Memo1);

    // Status tips of the menu items show here.
    statusBar();
}

void TMainForm::FormCreate() {
    // Without OpenGL, GLU or an X11 display the preview command stays
    // disabled; loading and saving work as usual.
    previewAvailable_ = hOpenGL != nullptr || LoadOpenGL();
    mPview->setEnabled(previewAvailable_);
}

void TMainForm::SetErrorReporter(std::function<void(const QString&)> reporter) {
    reportError_ = std::move(reporter);
}

void TMainForm::ReadSettingsFile() {
    iniFile = std::make_unique<IniFile>();
    if (IniFile::Load(settingsPath_, *iniFile) == IniFile::LoadResult::Unreadable) {
        throw std::runtime_error(FileMessage("ファイル ", settingsPath_, " は開けません"));
    }
    settings = ReadSettings(*iniFile);
}

void TMainForm::AppendLog(const std::string& line) {
    // A cursor of its own: the document's first block is the first line, so
    // an empty first line is kept (appendPlainText would fold it away).
    QTextCursor cursor(Memo1->document());
    cursor.movePosition(QTextCursor::End);
    if (logLineCount_ > 0) cursor.insertBlock();
    cursor.insertText(QString::fromStdString(line));
    ++logLineCount_;
    Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum());
}

void TMainForm::FreeTable() {
    if (objects != nullptr) FreeObjectTable(objectCount, objects);
    objects = nullptr;
    objectCount = 0;
}

void TMainForm::LoadDxf(const QString& name) {
    std::optional<WaitCursor> wait;
    const bool opened = vertoko::LoadDxf(
        name.toStdString(), settings.reader, objects, objectCount, extents, msgBuf,
        [this](const std::string& line) { AppendLog(line); },
        [this, &wait] {
            wait.emplace();
            newData = false;
            FileSaveAsItem->setEnabled(false);
            HidePreview();
        });
    if (!opened) return;
    SetDrawing(objectCount > 0 ? name : QString());
    if (objectCount == 0) return;
    newData = true;
    FileSaveAsItem->setEnabled(true);
    if (hOpenGL != nullptr) FitPreview();
}

void TMainForm::SaveAs(const QString& name, int filterIndex) {
    // Only a loaded table can be saved; the menu item is disabled otherwise,
    // but a direct call must not hand a null table to a writer.
    if (objects == nullptr || objectCount <= 0) return;
    if (filterIndex < 1 || filterIndex > 3) return;
    WaitCursor wait;
    SaveObjects(name.toStdString(), static_cast<SaveFormat>(filterIndex), objectCount, objects,
                extents, settings.writer, msgBuf,
                [this](const std::string& line) { AppendLog(line); });
}

void TMainForm::FileOpen() {
    if (OpenDialog->exec() != QDialog::Accepted) return;
    const QStringList files = OpenDialog->selectedFiles();
    if (!files.isEmpty()) LoadDxf(files.first());
}

void TMainForm::SetDrawing(const QString& path) {
    drawingPath_ = path;
    setWindowTitle(MainWindowTitle(path));
}

void TMainForm::SuggestSaveName() {
    if (drawingPath_.isEmpty()) return;
    // The type chosen last stays selected in the kept dialog; the first
    // time it is the first one, EASTRAY.
    const qsizetype index = kSaveFilters.indexOf(SaveDialog->selectedNameFilter());
    const QString& suffix = kSaveSuffixes[index < 0 ? 0 : index];
    SaveDialog->selectFile(SuggestedSaveName(drawingPath_, suffix));
}

void TMainForm::FileSaveAs() {
    SuggestSaveName();
    if (SaveDialog->exec() != QDialog::Accepted) return;
    const QStringList files = SaveDialog->selectedFiles();
    if (files.isEmpty()) return;
    const int index = static_cast<int>(kSaveFilters.indexOf(SaveDialog->selectedNameFilter())) + 1;
    SaveAs(files.first(), index < 1 ? 1 : index);
}

void TMainForm::FileExit() { close(); }

void TMainForm::mOptionClick() {
    if (OptDlg == nullptr) return;
    if (optFirst) {
        OptDlg->SetOpt(settings);
        optFirst = false;
    }
    OptDlg->OptBack();
    if (OptDlg->exec() != QDialog::Accepted) return;
    OptDlg->Getopt(settings);
    // A shown preview turns the model at once.
    if (PView != nullptr) PView->SetZUp(settings.writer.zUp != 0);
}

void TMainForm::N2Click() {
    if (OptDlg2 == nullptr) return;
    if (colFirst) {
        OptDlg2->SetColor(settings.pviewBack, settings.pviewObj);
        colFirst = false;
    }
    OptDlg2->OptBack();
    if (OptDlg2->exec() == QDialog::Accepted) {
        settings.pviewBack = OptDlg2->backColor();
        settings.pviewObj = OptDlg2->objColor();
    }
}

void TMainForm::mPviewClick() {
    if (hOpenGL == nullptr || PView == nullptr) return;
    PView->SetColors(settings.pviewBack, settings.pviewObj);
    PView->SetZUp(settings.writer.zUp != 0);
    PView->ShowPreview(newData, objectCount, objects);
    // The preview has taken the table; its display list is rebuilt only
    // after the next successful load.
    newData = false;
}

void TMainForm::mAboutClick() {
    if (AboutBox != nullptr) AboutBox->exec();
}

void TMainForm::HidePreview() {
    if (PView != nullptr) PView->hide();
}

void TMainForm::FitPreview() {
    if (PView == nullptr) return;
    PView->SetZUp(settings.writer.zUp != 0);
    PView->FitView(extents);
}

void TMainForm::ClosePreview() {
    if (PView != nullptr) PView->close();
}

void TMainForm::FormShow() {
    if (!openParam) return;
    openParam = false;
    LoadDxf(arguments_.first());
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormShow();
}

void TMainForm::WriteSettingsFile() { WriteSettings(settings, *iniFile); }

bool TMainForm::FormClose() {
    FreeTable();
    SetDrawing({});
    newData = false;
    FileSaveAsItem->setEnabled(false);
    ClosePreview();
    if (!iniFile) return true;  // written by an earlier close
    WriteSettingsFile();
    if (!iniFile->Save(settingsWritePath_)) {
        reportError_(QString::fromStdString(
            FileMessage("ファイル ", settingsWritePath_, " を作成できません")));
        // The first failure keeps the window open, so the user can make the
        // folder writable and close again; a second close ends the run.
        if (!settingsWriteFailed_) {
            settingsWriteFailed_ = true;
            return false;
        }
    }
    iniFile.reset();
    return true;
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (FormClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    // Only the first file of a drop; its type is not checked.
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        event->acceptProposedAction();
        LoadDxf(url.toLocalFile());
        return;
    }
}

}  // namespace vertoko
