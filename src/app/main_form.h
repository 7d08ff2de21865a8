// The main window: menu bar, log pane, the load and save commands, the
// options and colours it holds for the dialogs, and the settings file read
// at creation and written at the close.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "convert/ini_file.h"
#include "convert/settings.h"
#include "convert/window_settings.h"
#include "model/drawing_layers.h"
#include "model/mesh_model.h"

class QAction;
class QFileDialog;
class QMenu;
class QPlainTextEdit;

namespace vertoko {

class TMainForm : public QMainWindow {
    Q_OBJECT

  public:
    // Reads the settings file at settingsPath; throws std::runtime_error with
    // "ファイル %s は開けません" when it exists but cannot be read. arguments
    // are the command-line arguments without the program name.
    TMainForm(std::string settingsPath, QStringList arguments, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The one way a file gets in: the open command, the command-line argument
    // and a drop all come here. Logs, replaces the table, sets the save
    // command.
    void LoadDxf(const QString& name);

    // The save command after its dialog: name as chosen, filterIndex 1
    // EASTRAY, 2 POV-Ray, 3 OBJ.
    void SaveAs(const QString& name, int filterIndex);

    // The filter index the save command writes name with: the type its
    // extension names (as the converter chooses), else chosenIndex.
    static int SaveIndexFor(const QString& name, int chosenIndex);

    // A file handed over by a second start: the window comes to the front
    // and loads it (nothing to load for an empty name).
    void OpenFromSecondStart(const QString& name);

    // Frees the table, closes the preview and writes the settings file. False
    // when the window should stay open (the first failed settings write).
    bool FormClose();

    // How errors of the settings file are shown; the error box by default.
    void SetErrorReporter(std::function<void(const QString&)> reporter);

    // Components, named as in the window design.
    QMenu* FileMenu = nullptr;
    QAction* FileOpenItem = nullptr;
    QAction* FileSaveAsItem = nullptr;
    QAction* FileExitItem = nullptr;
    QFileDialog* OpenDialog = nullptr;
    QFileDialog* SaveDialog = nullptr;
    QMenu* mOption = nullptr;
    QAction* mPview = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QAction* N1 = nullptr;
    QAction* N2 = nullptr;
    QAction* mAbout = nullptr;

    // The current table.
    bool newData = false;
    std::int32_t objectCount = 0;
    MeshObject* objects = nullptr;
    Extents extents = {};   // the box around objects
    DrawingLayers layers_;  // the drawing's layers, as the table's polygons refer to them
    std::string msgBuf;

    // The options handed to the reader, the writers and the preview, as the
    // settings file keeps them, and the first-opening flags of the dialogs.
    AppSettings settings;
    // The last drawing's folder and the window's place, kept beside them.
    WindowSettings window;
    bool optFirst = true;
    bool colFirst = true;
    bool openParam = false;

    const std::string& SettingsFilePath() const { return settingsPath_; }

    // The drawing the load command opened last, read or refused; the one a
    // changed reading option reads again. Empty before the first.
    const QString& LastOpenedDrawing() const { return lastOpened_; }

    // Whether log line (0-based) is shown as an error.
    bool IsErrorLine(int line) const;

    // Where the close writes the settings; the file read at creation unless
    // set otherwise (a folder the user cannot write).
    void SetSettingsWritePath(std::string path) { settingsWritePath_ = std::move(path); }

    // Whether OpenGL was found at creation; the preview command follows it.
    bool PreviewAvailable() const { return previewAvailable_; }

    // Command handlers, named after their menu items.
    void FileOpen();
    void FileSaveAs();
    void FileExit();
    void mOptionClick();
    void N2Click();
    void mPviewClick();
    void mAboutClick();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void BuildComponents();
    void FormCreate();
    void FormShow();
    void ReadSettingsFile();
    void WriteSettingsFile();
    void AppendLog(const std::string& line, bool error = false);
    void MarkErrorLines(int from);
    void AppendLoadLog(const std::string& line);
    bool TableHasPolygons() const;
    void ApplyWindowSettings();
    void NoteWindowSettings();
    void FreeTable();
    void SetDrawing(const QString& path);
    void SuggestSaveName();

    // The preview window's part in loading and closing; no-ops until the
    // preview is wired in.
    void HidePreview();
    void FitPreview();
    void ClosePreview();

    std::string settingsPath_;
    std::string settingsWritePath_;
    QStringList arguments_;
    QString drawingPath_;  // the drawing whose table is loaded; empty when none is
    QString lastOpened_;
    std::unique_ptr<IniFile> iniFile;
    bool previewAvailable_ = false;
    bool settingsWriteFailed_ = false;
    int logLineCount_ = 0;
    std::function<void(const QString&)> reportError_;
};

}  // namespace vertoko
