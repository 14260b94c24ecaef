#include "historywindow.h"
#include "ui_historywindow.h"

#include "historyexport.h"
#include "historynames.h"
#include "historynavigation.h"
#include "historyplot.h"
#include "historyplotexport.h"
#include "historyrecordingload.h"
#include "historystatisticstable.h"
#include "historystore.h"
#include "languagetext.h"
#include "tolerancerule.h"

#include <QAction>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QSaveFile>
#include <QTimer>

namespace {

const qint64 kSpanMs[] = {60 * 1000, 10 * 60 * 1000, 60 * 60 * 1000, -1};
// Redraws while following, at most: enough to look live (four a second were a tenth of the work).
const int kRedrawIntervalMs = 500;
const qint64 kTableIntervalMs = 1000;

} // namespace

HistoryWindow::HistoryWindow(const HistoryStore *store, QWidget *parent)
    : QWidget(parent, Qt::Window), ui(new Ui::HistoryWindow), m_store(store)
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("HistoryWindow"));
    m_ironTolerance = ToleranceRule::defaultFor(QStringLiteral("iron")).tolerance;
    m_hotairTolerance = ToleranceRule::defaultFor(QStringLiteral("hotair")).tolerance;
    ui->widget_loading->hide();
    ui->label_recording->hide();
    ui->splitter->setStretchFactor(0, 3);
    ui->splitter->setStretchFactor(1, 1);
    ui->splitter->setSizes({560, 240});

    m_openAction = new QAction(this);
    m_openAction->setShortcut(QKeySequence::Open);
    addAction(m_openAction);
    connect(m_openAction, &QAction::triggered, this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, m_openAction->text(), QString(),
            QStringLiteral("%1 (*.csv *.jsonl);;* (*)").arg(HistoryNames::text("ids_recordings")));
        if (!path.isEmpty())
            emit openRecordingRequested(path);
    });
    connect(ui->pushButton_open, &QPushButton::clicked, m_openAction, &QAction::trigger);

    auto *exportMenu = new QMenu(this);
    m_pngAction = exportMenu->addAction(QString());
    m_svgAction = exportMenu->addAction(QString());
    m_csvAction = exportMenu->addAction(QString());
    ui->toolButton_export->setMenu(exportMenu);
    connect(m_pngAction, &QAction::triggered, this,
            [this] { chooseExport("PNG (*.png)", ".png", &HistoryWindow::exportPng); });
    connect(m_svgAction, &QAction::triggered, this,
            [this] { chooseExport("SVG (*.svg)", ".svg", &HistoryWindow::exportSvg); });
    connect(m_csvAction, &QAction::triggered, this,
            [this] { chooseExport("CSV (*.csv)", ".csv", &HistoryWindow::exportCsv); });

    connect(ui->comboBox_span, QOverload<int>::of(&QComboBox::activated), this,
            &HistoryWindow::setSpan);
    connect(ui->pushButton_live, &QPushButton::toggled, this, &HistoryWindow::setFollowing);

    m_timer = new QTimer(this);
    m_timer->setInterval(kRedrawIntervalMs);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (!m_following || !m_store || m_store->lastTimeMs() == m_shownLastMs)
            return;
        // Not before the newest reading is a pixel further right: over ten
        // minutes that is less than once a second.
        const int width = m_plots.isEmpty() ? 0 : m_plots.first()->canvas()->width();
        const qint64 pixelMs = width > 0 ? (m_toMs - m_fromMs) / width : 0;
        if (m_shownLastMs >= 0 && m_store->lastTimeMs() - m_shownLastMs < pixelMs)
            return;
        {
            m_timerTick = true;
            refresh();
            m_timerTick = false;
        }
    });
    applyLanguage();
    ui->comboBox_span->setCurrentIndex(m_span);
    resize(1000, 860);
}

HistoryWindow *HistoryWindow::forRecording(const QString &path, QWidget *parent)
{
    auto *window = new HistoryWindow(nullptr, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->m_recordingName = QFileInfo(path).fileName();
    window->startLoading(path);
    window->applyLanguage();
    return window;
}

HistoryWindow::~HistoryWindow()
{
    delete m_load; // waits for its worker
    delete ui;
}

bool HistoryWindow::isLoading() const
{
    return m_load && m_load->isRunning();
}

void HistoryWindow::setTolerances(double iron, double hotair)
{
    if (iron == m_ironTolerance && hotair == m_hotairTolerance)
        return;
    m_ironTolerance = iron;
    m_hotairTolerance = hotair;
    if (isVisible())
        redraw(); // the table's soldering figures count against them
}

void HistoryWindow::applyLanguage()
{
    const QString title = HistoryNames::text("ids_history");
    setWindowTitle(m_recordingName.isEmpty() ? title
                                             : m_recordingName + QStringLiteral(" – ") + title);
    const char *spans[] = {"ids_span1m", "ids_span10m", "ids_span1h", "ids_spanAll"};
    if (ui->comboBox_span->count() == 0)
        for (int i = 0; i < 4; ++i)
            ui->comboBox_span->addItem(QString());
    for (int i = 0; i < 4; ++i)
        ui->comboBox_span->setItemText(i, HistoryNames::text(spans[i]));
    ui->pushButton_live->setText(HistoryNames::text("ids_live"));
    ui->toolButton_export->setText(HistoryNames::text("ids_export"));
    m_pngAction->setText(HistoryNames::text("ids_exportPng"));
    m_svgAction->setText(HistoryNames::text("ids_exportSvg"));
    m_csvAction->setText(HistoryNames::text("ids_exportCsv"));
    m_openAction->setText(HistoryNames::text("ids_openRecording"));
    ui->pushButton_open->setText(m_openAction->text());
    ui->pushButton_cancel->setText(languageText["Common_Language/ids_cancel"]);
    HistoryStatisticsTable::setHeaders(ui->tableWidget_statistics);
    for (HistoryPlot *plot : m_plots) {
        QStringList names;
        for (const HistoryPlot::Quantity &quantity : plot->quantities())
            names << HistoryNames::quantity(quantity.key.first, quantity.key.second);
        plot->setNames(HistoryNames::instrument(plot->instrument()), names);
    }
    if (m_store)
        redraw();
}

void HistoryWindow::setRange(qint64 fromMs, qint64 toMs)
{
    if (toMs <= fromMs)
        return;
    setFollowing(false);
    m_fromMs = fromMs;
    m_toMs = toMs;
    redraw();
}

void HistoryWindow::setFollowing(bool following)
{
    // A recording has no newest reading to follow: live shows all of it.
    m_following = following;
    {
        const QSignalBlocker block(ui->pushButton_live);
        ui->pushButton_live->setChecked(following);
    }
    if (following)
        refresh();
}

void HistoryWindow::setSpan(int span)
{
    m_span = qBound(0, span, int(Everything));
    {
        const QSignalBlocker block(ui->comboBox_span);
        ui->comboBox_span->setCurrentIndex(m_span);
    }
    if (m_following) {
        refresh();
    } else {
        // Paused: the same span around the middle of the view.
        const qint64 spanMs =
            kSpanMs[m_span] > 0
                ? kSpanMs[m_span]
                : qMax<qint64>(m_store ? m_store->lastTimeMs() - m_store->firstTimeMs() : 0, 60000);
        const qint64 middle = (m_fromMs + m_toMs) / 2;
        m_fromMs = middle - spanMs / 2;
        m_toMs = m_fromMs + spanMs;
        redraw();
    }
}

void HistoryWindow::setCursor(int index, qint64 timeMs)
{
    m_cursors[index & 1] = timeMs;
    redraw();
}

void HistoryWindow::refresh()
{
    if (!m_store)
        return;
    if (m_following)
        followNewest();
    redraw();
}

void HistoryWindow::followNewest()
{
    const bool empty = m_store->isEmpty();
    m_toMs = empty ? QDateTime::currentMSecsSinceEpoch() : m_store->lastTimeMs();
    if (kSpanMs[m_span] > 0)
        m_fromMs = m_toMs - kSpanMs[m_span];
    else
        m_fromMs =
            empty ? m_toMs - kSpanMs[OneMinute] : qMin(m_store->firstTimeMs(), m_toMs - 1000);
}

void HistoryWindow::buildPlots()
{
    const QList<HistoryStore::Key> keys = m_store->keys();
    if (keys.size() == m_keyCount)
        return;
    m_keyCount = keys.size();
    qDeleteAll(m_plots);
    m_plots.clear();
    m_navigations.clear();
    for (const HistoryPlot::Layout &layout : HistoryPlot::layoutFor(keys)) {
        auto *plot = new HistoryPlot(layout, ui->widget_plots);
        ui->layout_plots->addWidget(plot, 1);
        auto *navigation = new HistoryNavigation(plot);
        connect(navigation, &HistoryNavigation::rangeRequested, this, &HistoryWindow::setRange);
        connect(navigation, &HistoryNavigation::clicked, this, &HistoryWindow::placeCursor);
        connect(navigation, &HistoryNavigation::cursorDragged, this, &HistoryWindow::setCursor);
        m_plots << plot;
        m_navigations << navigation;
    }
    for (int i = 0; i < m_plots.size(); ++i)
        m_plots[i]->showTimeAxis(i == m_plots.size() - 1);
    // The names of the new plots.
    const QString title = windowTitle();
    applyLanguage();
    setWindowTitle(title);
}

void HistoryWindow::redraw()
{
    if (!m_store)
        return;
    buildPlots();
    m_shownLastMs = m_store->lastTimeMs();
    for (int i = 0; i < m_plots.size(); ++i) {
        m_plots[i]->refresh(*m_store, m_fromMs, m_toMs);
        m_plots[i]->setCursors(m_cursors[0], m_cursors[1]);
        m_navigations[i]->setCursors(m_cursors[0], m_cursors[1]);
    }
    HistoryPlot::alignValueAxes(m_plots);
    for (HistoryPlot *plot : m_plots)
        plot->replot();
    if (m_cursors[0] >= 0 && m_cursors[1] >= 0)
        ui->label_cursors->setText(
            HistoryNames::text("ids_cursorSpan")
                .arg(QLocale().toString(std::abs(m_cursors[1] - m_cursors[0]) / 1000.0, 'f', 3)));
    else
        ui->label_cursors->setText(HistoryNames::text("ids_cursorHint"));
    // While following, the table is filled once a second: its texts cost
    // more to lay out than the plots to draw.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (m_timerTick && now - m_tableFilledMs < kTableIntervalMs)
        return;
    m_tableFilledMs = now;
    HistoryStatisticsTable::Range range;
    range.fromMs = m_fromMs;
    range.toMs = m_toMs;
    range.cursors[0] = m_cursors[0];
    range.cursors[1] = m_cursors[1];
    range.ironTolerance = m_ironTolerance;
    range.hotairTolerance = m_hotairTolerance;
    HistoryStatisticsTable::fill(ui->tableWidget_statistics, *m_store, range);
}

void HistoryWindow::placeCursor(qint64 timeMs)
{
    // The first two clicks place both cursors; later ones move the nearer.
    int index = m_nextCursor;
    if (m_cursors[0] >= 0 && m_cursors[1] >= 0)
        index = std::abs(timeMs - m_cursors[0]) <= std::abs(timeMs - m_cursors[1]) ? 0 : 1;
    else
        m_nextCursor = 1 - m_nextCursor;
    setCursor(index, timeMs);
}

void HistoryWindow::showStatus(const QString &text)
{
    ui->label_status->setText(text);
}

void HistoryWindow::chooseExport(const char *filter, const char *suffix,
                                 bool (HistoryWindow::*write)(const QString &))
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = QFileDialog::getSaveFileName(this, HistoryNames::text("ids_export"),
                                                QStringLiteral("history-") + stamp + suffix,
                                                QLatin1String(filter));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
        path += QLatin1String(suffix);
    (this->*write)(path);
}

bool HistoryWindow::exportPng(const QString &path)
{
    const bool saved = HistoryPlotExport::writePng({m_plots.begin(), m_plots.end()}, path);
    showStatus(HistoryNames::text(saved ? "ids_saved" : "ids_notSaved").arg(path));
    return saved;
}

bool HistoryWindow::exportSvg(const QString &path)
{
    const bool saved = HistoryPlotExport::writeSvg({m_plots.begin(), m_plots.end()}, path);
    showStatus(HistoryNames::text(saved ? "ids_saved" : "ids_notSaved").arg(path));
    return saved;
}

bool HistoryWindow::exportCsv(const QString &path)
{
    QSaveFile file(path);
    bool saved = m_store && file.open(QIODevice::WriteOnly);
    saved = saved && HistoryExport::writeCsv(*m_store, m_fromMs, m_toMs, file);
    saved = saved && file.commit();
    showStatus(HistoryNames::text(saved ? "ids_saved" : "ids_notSaved").arg(path));
    return saved;
}

void HistoryWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_timer->start();
    refresh();
}

void HistoryWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_timer->stop();
}

void HistoryWindow::startLoading(const QString &path)
{
    m_load = new HistoryRecordingLoad;
    ui->widget_loading->show();
    ui->progressBar_loading->setValue(0);
    ui->pushButton_live->setEnabled(false);
    ui->pushButton_open->hide();
    connect(m_load, &HistoryRecordingLoad::progress, ui->progressBar_loading,
            &QProgressBar::setValue);
    connect(ui->pushButton_cancel, &QPushButton::clicked, m_load, &HistoryRecordingLoad::cancel);
    connect(m_load, &HistoryRecordingLoad::finished, this, &HistoryWindow::loadingFinished);
    m_load->start(path);
}

void HistoryWindow::loadingFinished(const RecordingReader::Result &result)
{
    ui->widget_loading->hide();
    m_ownStore = m_load->takeStore();
    m_store = m_ownStore.get();
    QString text;
    if (!result.opened)
        text = HistoryNames::text("ids_cannotOpen").arg(m_recordingName);
    else if (!result.recording)
        text = HistoryNames::text("ids_notRecording").arg(m_recordingName);
    else
        text = HistoryNames::text("ids_readResult")
                   .arg(result.rows)
                   .arg(result.skipped)
                   .arg(result.skippedMalformed)
                   .arg(result.skippedBadTime)
                   .arg(result.skippedBadValue);
    if (result.skipped > 0 && result.firstSkippedLine > 0)
        text +=
            QLatin1Char(' ') + HistoryNames::text("ids_firstSkipped").arg(result.firstSkippedLine);
    if (result.cancelled)
        text += QLatin1Char(' ') + HistoryNames::text("ids_cancelled");
    ui->label_recording->setText(text);
    ui->label_recording->show();
    // All of the recording, with live standing for "show it all".
    ui->pushButton_live->setEnabled(true);
    m_span = Everything;
    ui->comboBox_span->setCurrentIndex(m_span);
    setFollowing(true);
    emit recordingLoaded();
}
