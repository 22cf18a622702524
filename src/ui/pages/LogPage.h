#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace qozel {

class CoreGate;
class LogTableModel;
class PollCycle;
class WalkTableModel;

// The Dziennik tab: the event log with its filters, the walk test's summary,
// and the exports of both to CSV and of the installation report to PDF. It
// draws only while shown; what came meanwhile is taken in when it is shown.
class LogPage final : public QWidget {
    Q_OBJECT
public:
    // Asks where to save: caption, suggested file name, file type filter;
    // an empty answer saves nothing.
    using FileChooser = std::function<QString(const QString&, const QString&, const QString&)>;

    LogPage(PollCycle& cycle, CoreGate& gate, QWidget* parent);
    ~LogPage() override;

    // Draws what the log and the walk test changed since the last drawing.
    void Sync();
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FitTables();
    QWidget* BuildLogBox();
    QWidget* BuildWalkBox();
    void SyncReaderFilter();
    void ApplyFilter();
    void StartWalkTest();
    void ClearLog();
    void ExportLog();
    void ExportWalk();
    void ExportReport();
    // Asks where to save, then writes what `make` gives there; nothing without a choice.
    void Save(const QString& caption, const QString& name, const QString& filter,
              const std::function<QByteArray()>& make);

    PollCycle& cycle_;
    CoreGate& gate_;
    LogTableModel* logModel_ = nullptr;
    WalkTableModel* walkModel_ = nullptr;
    QComboBox* readerFilter_ = nullptr;
    QComboBox* kindFilter_ = nullptr;
    QTableView* logView_ = nullptr;
    QTableView* walkView_ = nullptr;
    QLabel* walkState_ = nullptr;
    // The reader ids the reader filter lists, after "every reader".
    std::vector<std::uint32_t> filterIds_;
    FileChooser chooseFile_;
};

} // namespace qozel
