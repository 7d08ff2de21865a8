#include "app/main_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
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
#include <QTextCharFormat>
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
#include "app/window_placement.h"
#include "controls/about_box.h"
#include "dialogs/layer_dlg.h"
#include "dialogs/opt_dlg.h"
#include "dialogs/opt_dlg2.h"
#include "convert/drawing_load.h"
#include "convert/load_save.h"
#include "convert/option_table.h"
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

// Error lines: dark enough a red to read on the log's white (a contrast of
// 6.6 to 1), and apart from the blue of the other lines.
const QColor kErrorColour(0xC0, 0x00, 0x00);

// The load command's lines that report a failure.
bool IsLoadErrorLine(const std::string& line) {
    return line.rfind("Err：", 0) == 0 || line == "ファイルのオープンに失敗.";
}

// The key a drawing's layer choice is kept under: one drawing reached by
// two names is still one drawing.
QString DrawingKey(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

// Layer names compare without case, as the drawing's own do.
QString LayerKey(const std::string& name) { return QString::fromStdString(name).toCaseFolded(); }

std::string WithoutLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

// A menu title without its "(&X)" accelerator.
QString MenuPathPart(QString text) {
    const qsizetype open = text.indexOf(QStringLiteral("(&"));
    if (open >= 0) text.truncate(open);
    return text.remove(QLatin1Char('&'));
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
    ApplyWindowSettings();
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
    const WindowSettings laidOut;
    resize(laidOut.width, laidOut.height);
    move(laidOut.left, laidOut.top);

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

    mLayer = menuBar()->addAction(QStringLiteral("ﾚｲﾔｰ(&L)"));
    mLayer->setStatusTip(QStringLiteral("表示して保存するﾚｲﾔｰを選ぶ"));
    mLayer->setEnabled(false);
    connect(mLayer, &QAction::triggered, this, &TMainForm::mLayerClick);

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
    window = ReadWindowSettings(*iniFile);
}

void TMainForm::ApplyWindowSettings() {
    // The kept place; one off every screen is moved on when the window
    // shows (KeepOnScreen).
    resize(window.width, window.height);
    move(window.left, window.top);
    if (window.maximized != 0) setWindowState(windowState() | Qt::WindowMaximized);
    // The last drawing's folder while it is there, else the working folder.
    const QString folder = QString::fromStdString(window.openFolder);
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) OpenDialog->setDirectory(folder);
}

void TMainForm::NoteWindowSettings() {
    // A maximized window keeps the place it comes back to; Qt gives that
    // as a client rectangle, kept like pos() as the frame's corner.
    const bool maximized = isMaximized();
    QRect normal = maximized ? normalGeometry().translated(pos() - geometry().topLeft()) : QRect();
    if (!normal.isValid()) normal = QRect(pos(), size());
    window.left = normal.x();
    window.top = normal.y();
    window.width = normal.width();
    window.height = normal.height();
    window.maximized = maximized ? 1 : 0;
}

void TMainForm::AppendLog(const std::string& line, bool error) {
    // A cursor of its own: the document's first block is the first line, so
    // an empty first line is kept (appendPlainText would fold it away).
    QTextCursor cursor(Memo1->document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat format;
    if (error) format.setForeground(kErrorColour);
    if (logLineCount_ > 0) cursor.insertBlock(QTextBlockFormat(), format);
    cursor.setBlockCharFormat(format);
    cursor.insertText(QString::fromStdString(line), format);
    ++logLineCount_;
    Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum());
}

void TMainForm::MarkErrorLines(int from) {
    QTextCharFormat format;
    format.setForeground(kErrorColour);
    for (int line = from; line < logLineCount_; ++line) {
        const QTextBlock block = Memo1->document()->findBlockByNumber(line);
        QTextCursor cursor(block);
        cursor.setBlockCharFormat(format);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(format);
    }
}

bool TMainForm::IsErrorLine(int line) const {
    const QTextBlock block = Memo1->document()->findBlockByNumber(line);
    return block.isValid() && block.charFormat().foreground().color() == kErrorColour;
}

void TMainForm::AppendLoadLog(const std::string& line) {
    AppendLog(line, IsLoadErrorLine(line));
    if (line == SkipHintLine()) {
        // The desktop's own way to the option, and what changing it does.
        const QString path =
            MenuPathPart(mOption->title()) + QStringLiteral(" → ") + MenuPathPart(N1->text());
        AppendLog("「未対応の図形を読み飛ばす」は " + path.toStdString() +
                  " にあります. 変更すると図面を読み直します.");
    }
}

bool TMainForm::TableHasPolygons() const {
    for (std::int32_t i = 0; objects != nullptr && i < objectCount; ++i) {
        if (objects[i].polygonCount > 0) return true;
    }
    return false;
}

void TMainForm::FreeTable() {
    DropLayerChoice();
    if (objects != nullptr) FreeObjectTable(objectCount, objects);
    objects = nullptr;
    objectCount = 0;
    layers_ = {};
}

void TMainForm::LoadDxf(const QString& name) {
    std::optional<WaitCursor> wait;
    const bool opened = vertoko::LoadDxf(
        name.toStdString(), settings.reader, settings.writer.outNames, objects, objectCount,
        extents, layers_, msgBuf, [this](const std::string& line) { AppendLoadLog(line); },
        [this, &wait] {
            wait.emplace();
            newData = false;
            FileSaveAsItem->setEnabled(false);
            HidePreview();
            DropLayerChoice();
        });
    if (!opened) return;
    lastOpened_ = name;
    // The open dialog starts where the last drawing came from, however it
    // came (the dialog, a drop, a second start).
    const QString folder = QFileInfo(name).absolutePath();
    window.openFolder = folder.toStdString();
    OpenDialog->setDirectory(folder);
    // A table without a polygon has nothing to save or show.
    const bool drawn = TableHasPolygons();
    SetDrawing(drawn ? name : QString());
    if (!drawn) return;
    TakeUpLayerChoice(name);
    newData = ShownHasPolygons();
    FileSaveAsItem->setEnabled(newData);
    if (hOpenGL != nullptr) FitPreview();
}

std::int32_t TMainForm::ShownCount() const {
    return KeepsEveryLayer(keep_) ? objectCount : filtered_.count;
}

MeshObject* TMainForm::ShownObjects() const {
    return KeepsEveryLayer(keep_) ? objects : filtered_.objects;
}

const Extents& TMainForm::ShownExtents() const {
    return KeepsEveryLayer(keep_) ? extents : filteredExtents_;
}

const std::vector<ObjectLabel>& TMainForm::ShownLabels() const {
    return KeepsEveryLayer(keep_) ? layers_.objects : filtered_.labels;
}

bool TMainForm::ShownHasPolygons() const {
    const MeshObject* shown = ShownObjects();
    for (std::int32_t i = 0; shown != nullptr && i < ShownCount(); ++i) {
        if (shown[i].polygonCount > 0) return true;
    }
    return false;
}

int TMainForm::LayersLeftOut() const {
    int count = 0;
    for (const bool kept : keep_) count += kept ? 0 : 1;
    return count;
}

void TMainForm::DropLayerChoice() {
    // The preview is hidden or closed by now: it takes no table until the
    // next preview command hands it one.
    FreeFilteredTable(filtered_);
    filteredExtents_ = {};
    keep_.clear();
    mLayer->setEnabled(false);
}

void TMainForm::TakeUpLayerChoice(const QString& path) {
    std::vector<bool> keep(layers_.layers.size(), true);
    keep_ = keep;
    mLayer->setEnabled(!layers_.layers.empty());
    const auto kept = leftOut_.find(DrawingKey(path));
    if (kept == leftOut_.end()) return;
    for (std::size_t i = 0; i < keep.size(); ++i)
        keep[i] = kept->second.count(LayerKey(layers_.layers[i].name)) == 0;
    if (KeepsEveryLayer(keep) || !ApplyLayerChoice(std::move(keep))) return;
    AppendLog("ﾚｲﾔｰの選択を引き継ぎます. " + std::to_string(LayersLeftOut()) +
              " 個のﾚｲﾔｰを除きます.");
    if (!ShownHasPolygons()) AppendLog("選んだﾚｲﾔｰには面がないので、保存できません.", true);
}

bool TMainForm::ApplyLayerChoice(std::vector<bool> keep) {
    // A million faces take a good part of a second.
    WaitCursor wait;
    FilteredTable next;
    Extents nextExtents = {};
    if (!KeepsEveryLayer(keep)) {
        std::string message;
        if (!FilterLayers(objectCount, objects, keep, layers_.objects, next, message)) {
            AppendLog("Err：\"" + WithoutLineEnd(message) + "\"", true);
            return false;
        }
        nextExtents = ComputeExtents(next.count, next.objects);
    }
    std::swap(filtered_, next);
    filteredExtents_ = nextExtents;
    keep_ = std::move(keep);
    // A shown preview takes the new table before the old one is freed; a
    // hidden one takes it at the next preview command.
    const bool drawn = ShownHasPolygons();
    if (PView != nullptr && PView->isVisible()) {
        FitPreview();
        PView->ShowPreview(true, ShownCount(), ShownObjects());
        newData = false;
    } else {
        newData = drawn;
    }
    FreeFilteredTable(next);
    FileSaveAsItem->setEnabled(drawn);
    return true;
}

void TMainForm::SetKeptLayers(std::vector<bool> keep) {
    if (objects == nullptr || layers_.layers.empty()) return;
    keep.resize(layers_.layers.size(), true);
    if (keep == keep_) return;
    if (!ApplyLayerChoice(keep)) return;
    std::set<QString> names;
    for (std::size_t i = 0; i < keep.size(); ++i) {
        if (!keep[i]) names.insert(LayerKey(layers_.layers[i].name));
    }
    if (names.empty()) {
        leftOut_.erase(DrawingKey(drawingPath_));
    } else {
        leftOut_[DrawingKey(drawingPath_)] = std::move(names);
    }
}

void TMainForm::SaveAs(const QString& name, int filterIndex) {
    // Only a loaded table can be saved; the menu item is disabled otherwise,
    // but a direct call must not hand a null table to a writer.
    if (ShownObjects() == nullptr || ShownCount() <= 0) return;
    if (filterIndex < 1 || filterIndex > 3) return;
    WaitCursor wait;
    // Said before the save's own lines, which a failure marks from the
    // target line on.
    if (LayersLeftOut() > 0)
        AppendLog("ﾚｲﾔｰを " + std::to_string(LayersLeftOut()) + " 個除いて保存します.");
    // Every line after the target's is the failure's when the writer fails.
    const int after = logLineCount_ + 1;
    // The labels follow the shown table, which leaving layers out thins.
    const DrawingLayers shownLayers{layers_.layers, ShownLabels()};
    const std::int32_t result = SaveObjects(
        name.toStdString(), static_cast<SaveFormat>(filterIndex), ShownCount(), ShownObjects(),
        ShownExtents(), settings.writer, msgBuf,
        [this](const std::string& line) { AppendLog(line); }, &shownLayers);
    if (result == 0) MarkErrorLines(after);
}

int TMainForm::SaveIndexFor(const QString& name, int chosenIndex) {
    const std::optional<SaveFormat> named = FormatForName(name.toStdString());
    return named ? static_cast<int>(*named) : chosenIndex;
}

void TMainForm::OpenFromSecondStart(const QString& name) {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
    if (!name.isEmpty()) LoadDxf(name);
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
    SaveAs(files.first(), SaveIndexFor(files.first(), index < 1 ? 1 : index));
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
    const AppSettings before = settings;
    OptDlg->Getopt(settings);
    // A shown preview turns the model at once.
    if (PView != nullptr) PView->SetZUp(settings.writer.zUp != 0);
    // The loaded drawing was read with the old reading options; what the
    // user saves or sees must follow the new ones.
    if (lastOpened_.isEmpty() || !ReadingOptionsDiffer(before, settings)) return;
    AppendLog("");
    AppendLog("読み込みの設定が変わったので、図面を読み直します.");
    LoadDxf(lastOpened_);
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
    PView->ShowPreview(newData, ShownCount(), ShownObjects());
    // The preview has taken the table; its display list is rebuilt only
    // after the next successful load.
    newData = false;
}

void TMainForm::mLayerClick() {
    if (objects == nullptr || layers_.layers.empty()) return;
    if (LayerDlg == nullptr) {
        LayerDlg = new TLayerDlg(this);
        KeepOnScreen(LayerDlg, this);
    }
    LayerDlg->SetLayers(layers_, keep_);
    if (LayerDlg->exec() != QDialog::Accepted) return;
    const std::vector<bool> before = keep_;
    SetKeptLayers(LayerDlg->Kept());
    if (keep_ == before) return;
    AppendLog(LayersLeftOut() == 0 ? std::string("全てのﾚｲﾔｰを表示します.")
                                   : std::to_string(LayersLeftOut()) + " 個のﾚｲﾔｰを除きます.");
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
    PView->FitView(ShownExtents());
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

void TMainForm::WriteSettingsFile() {
    NoteWindowSettings();
    WriteSettings(settings, *iniFile);
    // After the table's rows, so the section comes after theirs.
    WriteWindowSettings(window, *iniFile);
}

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
