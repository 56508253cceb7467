#include "agenda/ui/tagenda.h"

#include "agenda/core/agendafile.h"
#include "agenda/ui/agendamodule.h"
#include "agenda/ui/agendaglyphs.h"
#include "agenda/ui/agendagrid.h"
#include "agenda/ui/tjour.h"
#include "agenda/ui/tmensuel.h"
#include "common/frenchformat.h"
#include "common/ui/errorhandler.h"
#include "common/ui/messageboxes.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
enum SlotColumn { ColHeure = 0, ColMarker = 1, ColSujet = 2, ColNote = 3 };
enum Page { PageJournee = 0, PageSemaine = 1 };
constexpr int kRowHeight = 24;
} // namespace

QColor TAgenda::fixedCellColor()
{
    // Windows colour values are 0x00BBGGRR.
    constexpr unsigned kValue = 13353024;
    return QColor(int(kValue & 0xFF), int((kValue >> 8) & 0xFF), int((kValue >> 16) & 0xFF));
}

TAgenda::TAgenda(FrameServices &frame, AgendaModule &module, QWidget *parent)
    : DocumentWindow(DocKind::Agenda, frame, parent),
      m_module(module)
{
    setObjectName(QStringLiteral("Agenda"));
    setWindowTitle(QStringLiteral("Agenda"));
    setProperty("helpContext", 8);
    buildPanel();
    buildGrids();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(Notebook1, 1);
    resize(544, 375);
    FormResize();

    // FormCreate
    m_settings = DaySettings{8, 18, 2};
    m_list.clear();
    Heures();
    m_date = QDate::currentDate();
    m_rangePending = false;
    LitFiche();
}

TAgenda::~TAgenda() = default;

void TAgenda::buildPanel()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    Panel1->setFixedHeight(33);
    QFont bold = Panel1->font();
    bold.setBold(true);
    bold.setPixelSize(17);
    Panel1->setFont(bold);

    auto makeButton = [this](const QIcon &icon, const QString &hint, void (TAgenda::*slot)()) {
        auto *b = new QToolButton(Panel1);
        b->setIcon(icon);
        b->setToolTip(hint);
        b->setAutoRaise(true);
        b->setFixedSize(25, 25);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, slot);
        return b;
    };
    SpeedButton1 = makeButton(agendaglyphs::arrow(agendaglyphs::Arrow::Left, true), QStringLiteral("Mois précédent"),
                              &TAgenda::SpeedButton1Click);
    SpeedButton2 = makeButton(agendaglyphs::arrow(agendaglyphs::Arrow::Left, false), QStringLiteral("Jour précédent"),
                              &TAgenda::SpeedButton2Click);
    SpeedButton3 = makeButton(agendaglyphs::arrow(agendaglyphs::Arrow::Right, false), QStringLiteral("Jour suivant"),
                              &TAgenda::SpeedButton3Click);
    SpeedButton4 = makeButton(agendaglyphs::arrow(agendaglyphs::Arrow::Right, true), QStringLiteral("Mois suivant"),
                              &TAgenda::SpeedButton4Click);
    SpeedButton5 = makeButton(agendaglyphs::today(), QStringLiteral("Aujourd'hui"), &TAgenda::SpeedButton5Click);
    SpeedButton6 = makeButton(agendaglyphs::calendar(), QString(), &TAgenda::SpeedButton6Click);

    m_heading = new QLabel(Panel1);
    m_heading->setObjectName(QStringLiteral("Heading"));
    m_heading->setAlignment(Qt::AlignCenter);
    auto *row = new QHBoxLayout(Panel1);
    row->setContentsMargins(3, 2, 3, 2);
    row->setSpacing(1);
    for (QToolButton *b : {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4, SpeedButton5, SpeedButton6})
        row->addWidget(b);
    row->addWidget(m_heading, 1);
}

void TAgenda::buildGrids()
{
    Notebook1 = new QStackedWidget(this);
    Notebook1->setObjectName(QStringLiteral("Notebook1"));
    const auto preview = [this](QKeyEvent *e) { return FormKeyDown(e); };

    auto *day = new QWidget(Notebook1);
    day->setObjectName(QStringLiteral("Journee"));
    StringGrid1 = new AgendaGrid(day);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setColCount(4);
    StringGrid1->setRowCount(2);
    StringGrid1->setFixedCols(2);
    StringGrid1->setFixedRows(1);
    StringGrid1->setDefaultRowHeight(kRowHeight);
    StringGrid1->setFixedColor(fixedCellColor());
    StringGrid1->setOptions(AgendaGrid::Editing | AgendaGrid::RangeSelect);
    StringGrid1->setKeyPreview(preview);
    StringGrid1->setMaxLength([this](int col, int row) {
        return daypage::kMaxSlotText - int(StringGrid1->cell(col == ColSujet ? ColNote : ColSujet, row).size());
    });
    connect(StringGrid1, &AgendaGrid::clicked, this, &TAgenda::StringGrid1Click);
    connect(StringGrid1, &AgendaGrid::cellEdited, this, &TAgenda::setModifiedFlags);
    connect(StringGrid1, &AgendaGrid::cellFull, this, [this] {
        frame().setStatusText(
                QStringLiteral("Case pleine : sujet et note d'un créneau tiennent ensemble en %1 caractères")
                        .arg(daypage::kMaxSlotText));
    });

    StringGrid2 = new AgendaGrid(day);
    StringGrid2->setObjectName(QStringLiteral("StringGrid2"));
    StringGrid2->setColCount(3);
    StringGrid2->setRowCount(2);
    StringGrid2->setFixedCols(1);
    StringGrid2->setDefaultRowHeight(kRowHeight);
    StringGrid2->setFixedColor(fixedCellColor());
    StringGrid2->setOptions(AgendaGrid::Editing | AgendaGrid::RangeSelect);
    StringGrid2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid2->setFixedHeight(54);
    StringGrid2->setKeyPreview(preview);
    StringGrid2->setMaxLength([this](int col, int row) {
        return daypage::kMaxNoteText - int(StringGrid2->cell(col == 1 ? 2 : 1, row).size());
    });
    connect(StringGrid2, &AgendaGrid::cellEdited, this, &TAgenda::setModifiedFlags);
    connect(StringGrid2, &AgendaGrid::cellFull, this, [this] {
        frame().setStatusText(
                QStringLiteral("Case pleine : les deux textes d'une note du jour tiennent ensemble en %1 caractères")
                        .arg(daypage::kMaxNoteText));
    });

    auto *dayLayout = new QVBoxLayout(day);
    dayLayout->setContentsMargins(0, 0, 0, 0);
    dayLayout->setSpacing(0);
    dayLayout->addWidget(StringGrid1, 1);
    dayLayout->addWidget(StringGrid2);

    StringGrid3 = new AgendaGrid(Notebook1);
    StringGrid3->setObjectName(QStringLiteral("StringGrid3"));
    StringGrid3->setColCount(3);
    StringGrid3->setRowCount(8);
    StringGrid3->setFixedCols(1);
    StringGrid3->setFixedRows(1);
    StringGrid3->setDefaultRowHeight(kRowHeight);
    StringGrid3->setFixedColor(fixedCellColor());
    StringGrid3->setCell(0, 0, QStringLiteral("Jour"));
    StringGrid3->setCell(1, 0, QStringLiteral("Heure"));
    StringGrid3->setCell(2, 0, QStringLiteral("Note"));

    Notebook1->addWidget(day);
    Notebook1->addWidget(StringGrid3);
    Notebook1->setCurrentIndex(PageJournee);
}

// Life of the window

bool TAgenda::event(QEvent *e)
{
    if (e->type() == QEvent::ParentChange || e->type() == QEvent::Show)
        hookSubWindow();
    return DocumentWindow::event(e);
}

void TAgenda::hookSubWindow()
{
    auto *sw = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!sw || sw == m_subWindow)
        return;
    m_subWindow = sw;
    connect(sw, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates before, Qt::WindowStates now) {
        if ((now & Qt::WindowActive) && !(before & Qt::WindowActive))
            FormActivate();
    });
}

void TAgenda::FormActivate()
{
    errorhandler::run(this, [&] {
        Notebook1->setCurrentIndex(PageJournee);
        changeDay([] {});
    });
}

void TAgenda::resizeEvent(QResizeEvent *e)
{
    DocumentWindow::resizeEvent(e);
    FormResize();
}

void TAgenda::FormResize()
{
    const int w = width();
    const int widths1[] = {60, 20, 140, w - 250};
    const char16_t *headings[] = {u"Heure", u" [", u"Sujet", u"Note"};
    for (int c = 0; c < 4; ++c) {
        StringGrid1->setColWidth(c, widths1[c]);
        StringGrid1->setCell(c, 0, QString::fromUtf16(headings[c]));
    }
    const int widths2[] = {80, 140, w - 228};
    for (int c = 0; c < 3; ++c)
        StringGrid2->setColWidth(c, widths2[c]);
    const int widths3[] = {80, 60, w - 148};
    for (int c = 0; c < 3; ++c)
        StringGrid3->setColWidth(c, widths3[c]);
}

void TAgenda::keyPressEvent(QKeyEvent *e)
{
    if (!FormKeyDown(e))
        DocumentWindow::keyPressEvent(e);
}

bool TAgenda::FormKeyDown(QKeyEvent *e)
{
    // Page Down and Page Up turn the day, whatever the grids would do with them.
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    if (e->key() == Qt::Key_PageDown) {
        Suivant();
        return true;
    }
    if (e->key() == Qt::Key_PageUp) {
        Precedent();
        return true;
    }
    return false;
}

// The day model

void TAgenda::Heures()
{
    const QStringList labels = agendadates::slotLabels(m_settings);
    StringGrid1->setRowCount(int(labels.size()) + 1);
    for (int i = 0; i < labels.size(); ++i)
        StringGrid1->setCell(ColHeure, i + 1, u' ' + labels[i]);
    const QString date = agendadates::shortDate(m_date);
    StringGrid2->setCell(0, 0, date);
    StringGrid2->setCell(0, 1, date);
}

void TAgenda::LitFiche()
{
    m_rangePending = false;
    pageToGrids(daypage::readDay(m_list, m_date, m_settings));
    m_heading->setText(headingText());
    QPalette pal = m_heading->palette();
    pal.setColor(QPalette::WindowText, headingColor());
    m_heading->setPalette(pal);
    m_dayModified = false;
    StringGrid1->setCurrentCell(ColSujet, 1);
    StringGrid2->setCurrentCell(1, 0);
    StringGrid1->setFocus();
    if (Notebook1->currentIndex() == PageSemaine)
        fillWeek();
}

void TAgenda::EcritFiche()
{
    if (!m_dayModified)
        return;
    daypage::writeDay(m_list, pageFromGrids());
}

daypage::Page TAgenda::pageFromGrids() const
{
    daypage::Page p;
    p.date = m_date;
    for (int r = 1; r < StringGrid1->rowCount(); ++r) {
        QString label = StringGrid1->cell(ColHeure, r);
        while (label.startsWith(u' '))
            label.remove(0, 1);
        p.labels.append(label);
        p.rows.append(daypage::Slot{StringGrid1->cell(ColMarker, r), StringGrid1->cell(ColSujet, r),
                                    StringGrid1->cell(ColNote, r)});
    }
    for (int r = 0; r < 2; ++r)
        p.notes[size_t(r)] = daypage::DayNote{StringGrid2->cell(1, r), StringGrid2->cell(2, r)};
    p.kept = m_kept;
    return p;
}

void TAgenda::pageToGrids(const daypage::Page &p)
{
    Heures();
    for (int i = 0; i < p.rows.size(); ++i) {
        StringGrid1->setCell(ColMarker, i + 1, p.rows[i].marker);
        StringGrid1->setCell(ColSujet, i + 1, p.rows[i].subject);
        StringGrid1->setCell(ColNote, i + 1, p.rows[i].note);
    }
    for (int r = 0; r < 2; ++r) {
        StringGrid2->setCell(1, r, p.notes[size_t(r)].first);
        StringGrid2->setCell(2, r, p.notes[size_t(r)].second);
    }
    m_kept = p.kept;
}

QString TAgenda::headingText() const { return agendadates::heading(m_date); }

QColor TAgenda::headingColor() const { return headingText().startsWith(u'D') ? QColor(Qt::red) : QColor(Qt::black); }

void TAgenda::setModifiedFlags()
{
    m_dayModified = true;
    m_modified = true;
}

template<class Change>
void TAgenda::changeDay(Change change)
{
    dropPendingRange();
    EcritFiche();
    change();
    LitFiche();
}

void TAgenda::showDate(const QDate &date)
{
    errorhandler::run(
            this, [&] { changeDay([&] { m_date = agendadates::encodeDate(date.year(), date.month(), date.day()); }); });
}

void TAgenda::Suivant()
{
    errorhandler::run(this, [&] { changeDay([&] { m_date = agendadates::addDays(m_date, 1); }); });
}

void TAgenda::Precedent()
{
    errorhandler::run(this, [&] { changeDay([&] { m_date = agendadates::addDays(m_date, -1); }); });
}

void TAgenda::SpeedButton1Click()
{
    errorhandler::run(this, [&] { changeDay([&] { m_date = agendadates::stepMonth(m_date, -1); }); });
}

void TAgenda::SpeedButton2Click() { Precedent(); }
void TAgenda::SpeedButton3Click() { Suivant(); }

void TAgenda::SpeedButton4Click()
{
    errorhandler::run(this, [&] { changeDay([&] { m_date = agendadates::stepMonth(m_date, 1); }); });
}

void TAgenda::SpeedButton5Click()
{
    errorhandler::run(this, [&] { changeDay([&] { m_date = QDate::currentDate(); }); });
}

void TAgenda::SpeedButton6Click()
{
    errorhandler::run(this, [&] {
        changeDay([&] {
            TMensuel &picker = m_module.mensuel();
            picker.Init(m_date);
            m_module.runDialog(picker);
            picker.Result(m_date); // there is no cancel: the date shown is the one picked
        });
    });
}

// Files

void TAgenda::Charge(const QString &path)
{
    errorhandler::run(this, [&] {
        setNomFichier(path);
        m_list.clear();
        m_list.setLines(agendafile::read(path));
        LitFiche();
        m_modified = false;
    });
}

bool TAgenda::finishEditing()
{
    EcritFiche();
    return true;
}

QString TAgenda::askSaveName()
{
    return chooseSaveName(NomFichier(), [this] { return m_module.askSaveName(this, NomFichier()); });
}

QString TAgenda::saveName(const QString &chosen) const { return agendafile::saveName(chosen); }

bool TAgenda::writeFile(const QString &path)
{
    bool lossless = true;
    const QByteArray bytes = agendafile::serialise(m_list, &lossless);
    if (!lossless
        && messageboxes::ask(this, messageboxes::Kind::Warning, QStringLiteral("Avertissement"),
                             QStringLiteral("Certains caractères ne peuvent pas être enregistrés dans un fichier "
                                            "agenda ; ils seront remplacés par « ? ». Enregistrer quand même ?"),
                             {messageboxes::Answer::Oui, messageboxes::Answer::Non})
                != messageboxes::Answer::Oui)
        return false;
    agendafile::write(path, bytes);
    return true;
}

// The agenda menu and the row clipboard

void TAgenda::DefJournee()
{
    errorhandler::run(this, [&] {
        changeDay([&] {
            TJour &jour = m_module.jour();
            jour.Init(m_settings.start, m_settings.end, m_settings.scale);
            m_module.runDialog(jour);
            jour.Result(m_settings.start, m_settings.end, m_settings.scale);
            Heures();
        });
    });
}

void TAgenda::Journee() { Notebook1->setCurrentIndex(PageJournee); }

void TAgenda::Semaine()
{
    errorhandler::run(this, [&] {
        dropPendingRange();
        EcritFiche();
        fillWeek();
        Notebook1->setCurrentIndex(PageSemaine);
    });
}

void TAgenda::fillWeek()
{
    const QDate sunday = m_date.addDays(-(m_date.dayOfWeek() % 7));
    QList<QStringList> rows;
    for (int d = 0; d < 7; ++d) {
        const QDate date = sunday.addDays(d);
        if (!date.isValid() || date.year() < 1 || date.year() > 9999)
            continue;
        const QString day = french::formatDate(QStringLiteral("ddd dd/mm"), date);
        const QList<daypage::Entry> entries = daypage::entries(daypage::readDay(m_list, date, m_settings));
        if (entries.isEmpty())
            rows.append(QStringList{day, QString(), QString()});
        for (int i = 0; i < entries.size(); ++i) {
            const daypage::Entry &e = entries[i];
            QString text = e.subject;
            if (!e.note.isEmpty())
                text += (text.isEmpty() ? QString() : QStringLiteral(" – ")) + e.note;
            if (!e.marker.isEmpty())
                text.prepend(QStringLiteral("[ "));
            rows.append(QStringList{i == 0 ? day : QString(), e.time, text});
        }
    }
    StringGrid3->setRowCount(int(rows.size()) + 1);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < 3; ++c)
            StringGrid3->setCell(c, r + 1, rows[r][c]);
    StringGrid3->setCurrentCell(1, 1);
}

void TAgenda::Etendue()
{
    const int row = StringGrid1->row();
    if (row < 1 || row >= StringGrid1->rowCount())
        return;
    dropPendingRange();
    m_rangeStart = row;
    m_rangeStartMarker = StringGrid1->cell(ColMarker, row);
    StringGrid1->setCell(ColMarker, row, daypage::kRangeMarker);
    m_rangePending = true;
}

void TAgenda::StringGrid1Click()
{
    if (!m_rangePending)
        return;
    const int row = StringGrid1->row();
    m_rangePending = false;
    for (int r = qMin(row, m_rangeStart); r <= qMax(row, m_rangeStart); ++r)
        StringGrid1->setCell(ColMarker, r, daypage::kRangeMarker);
    setModifiedFlags();
}

void TAgenda::dropPendingRange()
{
    // A range whose end was never chosen leaves no mark.
    if (!m_rangePending)
        return;
    m_rangePending = false;
    StringGrid1->setCell(ColMarker, m_rangeStart, m_rangeStartMarker);
}

void TAgenda::SupEtendue()
{
    const int row = StringGrid1->row();
    if (row < 1)
        return;
    m_rangePending = false;
    daypage::Page p = pageFromGrids();
    daypage::clearRange(p.rows, row - 1);
    for (int i = 0; i < p.rows.size(); ++i)
        StringGrid1->setCell(ColMarker, i + 1, p.rows[i].marker);
    setModifiedFlags();
}

void TAgenda::Copie(QStringList &rows)
{
    rows.clear();
    const AgendaGrid::Selection s = StringGrid1->selection();
    const daypage::Page p = pageFromGrids();
    for (int r = qMax(1, s.top); r <= s.bottom && r - 1 < p.rows.size(); ++r)
        rows.append(daypage::clipboardLine(p.labels[r - 1], p.rows[r - 1]));
}

void TAgenda::Coupe(QStringList &rows)
{
    // The rows stay in the day: cutting an appointment is done by emptying it.
    Copie(rows);
}

void TAgenda::Colle(QStringList &rows)
{
    daypage::Page p = pageFromGrids();
    for (const QString &line : rows)
        daypage::paste(p, line);
    pageToGrids(p);
    setModifiedFlags();
}
