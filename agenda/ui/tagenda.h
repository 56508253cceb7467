// The agenda document window: one day of the agenda list at a time, as a grid of time slots
// (subject and note per slot, range markers in a narrow column) and two free day notes,
// with buttons to move by day and by month, to today, or to a day picked in a month
// calendar. The list is the document: grids are copied into it (EcritFiche) before the
// day, the settings or the page change, and out of it (LitFiche) after.
#pragma once

#include "agenda/core/agendadates.h"
#include "agenda/core/agendalist.h"
#include "agenda/core/daypage.h"
#include "common/ui/documentcommands.h"
#include "common/ui/documentwindow.h"

#include <QDate>
#include <QPointer>

class AgendaModule;
class QFrame;
class QLabel;
class QMdiSubWindow;
class QStackedWidget;
class QToolButton;
class AgendaGrid;

class TAgenda
    : public DocumentWindow
    , public AgendaCommands
{
    Q_OBJECT
public:
    TAgenda(FrameServices &frame, AgendaModule &module, QWidget *parent = nullptr);
    ~TAgenda() override;

    // What the frame calls.
    void Charge(const QString &path) override;
    bool Modifie() const override { return m_modified; }
    void Coupe(QStringList &rows) override;
    void Copie(QStringList &rows) override;
    void Colle(QStringList &rows) override;
    void DefJournee() override;
    void Journee() override;
    void Semaine() override;
    void Etendue() override;
    void SupEtendue() override;

    // The day model.
    void Heures();
    void LitFiche();
    void EcritFiche();
    void Suivant();
    void Precedent();

    // State, as the exports and the tests see it.
    const AgendaList &agendaList() const { return m_list; }
    QDate currentDate() const { return m_date; }
    DaySettings settings() const { return m_settings; }
    bool isDayModified() const { return m_dayModified; }
    bool rangePending() const { return m_rangePending; }
    QString headingText() const;
    QColor headingColor() const;
    // Shows another day the way the buttons do: the day shown is written back first.
    void showDate(const QDate &date);

    QFrame *Panel1 = nullptr;
    QToolButton *SpeedButton1 = nullptr; // previous month
    QToolButton *SpeedButton2 = nullptr; // previous day
    QToolButton *SpeedButton3 = nullptr; // next day
    QToolButton *SpeedButton4 = nullptr; // next month
    QToolButton *SpeedButton5 = nullptr; // today
    QToolButton *SpeedButton6 = nullptr; // month picker
    QStackedWidget *Notebook1 = nullptr;
    AgendaGrid *StringGrid1 = nullptr; // slots
    AgendaGrid *StringGrid2 = nullptr; // day notes
    AgendaGrid *StringGrid3 = nullptr; // week

    static QColor fixedCellColor(); // the planner's colour value 13353024, a Windows BGR value
    QSize sizeHint() const override { return QSize(544, 375); }

public Q_SLOTS:
    void FormActivate();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void StringGrid1Click();

protected:
    bool event(QEvent *event) override;
    void setModifie(bool modified) override { m_modified = modified; }
    bool finishEditing() override;
    QString askSaveName() override;
    QString saveName(const QString &chosen) const override;
    bool writeFile(const QString &path) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildPanel();
    void buildGrids();
    void FormResize();
    bool FormKeyDown(QKeyEvent *event);
    void hookSubWindow();
    // Write back, change, read; a failing change leaves the day shown as it was.
    template<class Change>
    void changeDay(Change change);
    void setModifiedFlags();
    void dropPendingRange();
    daypage::Page pageFromGrids() const;
    void pageToGrids(const daypage::Page &page);
    void fillWeek();

    AgendaModule &m_module;
    AgendaList m_list;
    QDate m_date;
    DaySettings m_settings;
    bool m_modified = false;
    bool m_dayModified = false;
    bool m_rangePending = false;
    int m_rangeStart = 0; // slot-grid row where the pending range began
    QString m_rangeStartMarker; // what that row's marker held before
    QStringList m_kept; // slot lines of the day that no row shows
    QLabel *m_heading = nullptr;
    QPointer<QMdiSubWindow> m_subWindow;

    // Crash recovery (tagenda_recovery.cpp)
public:
    RecoveryState recoveryState(bool withWriter) const override;
    void restoreRecoveryCopy(const QString &copy, const QString &fileName) override;
};
