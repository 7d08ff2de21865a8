// The main window: menu bar, log pane, the load and save commands, the
// options and colours it holds for the dialogs, and the settings file read
// at creation and written at the close.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "convert/ini_file.h"
#include "convert/settings.h"
#include "convert/window_settings.h"
#include "mesh/layer_filter.h"
#include "model/drawing_layers.h"
#include "model/mesh_model.h"

class QAction;
class QFileDialog;
class QMenu;
class QPlainTextEdit;

namespace vertoko {

class TLayerDlg;

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
    QAction* mLayer = nullptr;
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

    // The layer window, made at its first opening.
    TLayerDlg* LayerDlg = nullptr;

    // Which layers of the loaded drawing the preview and the save take, one
    // flag per entry of layers_; every one unless the user left some out.
    const std::vector<bool>& KeptLayers() const { return keep_; }
    // Takes a choice of layers for the loaded drawing, as OK in the layer
    // window does: the choice is kept for the drawing for the rest of the
    // run, and the preview and the next save leave the unchecked layers out.
    void SetKeptLayers(std::vector<bool> keep);

    // The table the preview and the save take: the loaded one while every
    // layer is kept, else the copy without the layers left out, with its
    // box and the labels of its objects.
    std::int32_t ShownCount() const;
    MeshObject* ShownObjects() const;
    const Extents& ShownExtents() const;
    const std::vector<ObjectLabel>& ShownLabels() const;

    // Whether OpenGL was found at creation; the preview command follows it.
    bool PreviewAvailable() const { return previewAvailable_; }

    // Command handlers, named after their menu items.
    void FileOpen();
    void FileSaveAs();
    void FileExit();
    void mOptionClick();
    void N2Click();
    void mLayerClick();
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
    // The layer choice's part in loading: forget the old drawing's, take up
    // the one kept for the new drawing.
    void DropLayerChoice();
    void TakeUpLayerChoice(const QString& path);
    // Builds the table without the layers keep leaves out and puts it in
    // place of the one the preview and the save take; false (logged, and
    // nothing changed) when memory is short.
    bool ApplyLayerChoice(std::vector<bool> keep);
    bool ShownHasPolygons() const;
    int LayersLeftOut() const;

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
    std::vector<bool> keep_;  // see KeptLayers
    FilteredTable filtered_;  // empty while every layer is kept
    Extents filteredExtents_ = {};
    // The layers left out of each drawing read in this run, by its absolute
    // path, as case-folded names: a name survives a read again, where the
    // layers' order may change with the reading options.
    std::map<QString, std::set<QString>> leftOut_;
};

}  // namespace vertoko
