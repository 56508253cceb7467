#include "shell/ui/tmainform.h"

#include "agenda/ui/agendamodule.h"
#include "common/datafiles.h"
#include "common/frenchformat.h"
#include "common/ui/errorhandler.h"
#include "common/ui/recoverystore.h"
#include "common/ui/fonts.h"
#include "common/ui/printing.h"
#include "database/ui/databasemodule.h"
#include "shell/core/addressfile.h"
#include "shell/ui/helpbrowser.h"
#include "shell/ui/spinedit.h"
#include "shell/ui/taboutbox.h"
#include "shell/ui/toolbaricons.h"
#include "spreadsheet/ui/spreadsheetmodule.h"
#include "text/ui/textmodule.h"
#include "utilities/ui/utilitiesmodule.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPrinter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTime>
#include <QTimer>
#include <QToolButton>

namespace {
const char *kCaptions[kDocKinds] = {"Texte", "Tableur", "Fichier", "Agenda"};
}

TMainForm::TMainForm(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Velmora"));
    setWindowIcon(toolbaricons::programIcon());
    resize(694, 421);
    QFont f(fonts::uiFamily());
    f.setPixelSize(12);
    setFont(f);

    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("ClientArea"));
    m_mdi->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(m_mdi);

    buildMenus();
    buildToolBar();
    buildStatusBar();

    // FormCreate: no window of any kind yet.
    m_adresseExpediteur = QStringList(addressfile::kLines, QString());
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &TMainForm::UpdateMenuItems);
    // Only a text window has a caret position to show.
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this] {
        if (!activeDocument() || activeDocument()->kind() != DocKind::Texte)
            setStatusText(QString());
    });

    // F1 anywhere in the frame (outside an open menu, which the event filter serves) opens
    // the topic of the control that has the focus, else of the active document window.
    auto *help = new QAction(this);
    help->setShortcut(Qt::Key_F1);
    help->setShortcutContext(Qt::WindowShortcut);
    connect(help, &QAction::triggered, this, [this] { showHelpContext(helpContextOfFocus()); });
    addAction(help);

    m_timer1 = new QTimer(this);
    m_timer1->setInterval(1000);
    connect(m_timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    m_timer1->start();
    Timer1Timer();

    // Tool forms live for the whole run; the modules make theirs.
    m_text = std::make_unique<TextModule>(this);
    m_database = std::make_unique<DatabaseModule>(this);
    m_spreadsheet = std::make_unique<SpreadsheetModule>(this);
    m_agenda = std::make_unique<AgendaModule>(this);
    m_utilities = std::make_unique<UtilitiesModule>(this);

    m_factory = [this](DocKind kind, FrameServices &frame) -> DocumentWindow * {
        switch (kind) {
        case DocKind::Texte: return m_text->createWindow(frame);
        case DocKind::Tableur: return m_spreadsheet->createWindow(frame);
        case DocKind::Fichier: return m_database->createWindow(frame);
        case DocKind::Agenda: return m_agenda->createWindow(frame);
        }
        return nullptr;
    };
    UpdateMenuItems();
}

TMainForm::~TMainForm()
{
    // FormDestroy: no more refreshes while the children go.
    disconnect(m_mdi, nullptr, this, nullptr);
    for (QMdiSubWindow *sw : m_mdi->subWindowList())
        if (QWidget *w = sw->widget())
            disconnect(w, nullptr, this, nullptr);
}

QPrinter &TMainForm::printer()
{
    if (!m_printer)
        m_printer = printing::createPrinter();
    return *m_printer;
}

QLabel *TMainForm::statusPanel(int index) const { return index == 0 ? m_panel0 : m_panel1; }

// Life of the frame

void TMainForm::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TMainForm::FormShow()
{
    m_pressePapierFichier.clear();
    m_pressePapierAgenda.clear();
    m_repProgramme = QCoreApplication::applicationDirPath() + u'/';
    GetFontName();
    QStringList families;
    for (int i = 0; i < m_comboBox1->count(); ++i)
        families.append(m_comboBox1->itemText(i));
    m_text->initSpecialCharacters(families);
    m_text->ChargeGlo();
    ChargeAdr();
    m_utilities->ChargeNotes();
}

void TMainForm::closeEvent(QCloseEvent *e)
{
    // Every document window asks its own question first, the active one first. "Annuler"
    // on any of them stops the quit at once: no further question, and no window closed,
    // those already answered included (they will be asked again next time).
    const QList<DocumentWindow *> windows = windowsByRecentUse();
    for (qsizetype i = 0; i < windows.size(); ++i) {
        if (!windows[i]->FormCloseQuery()) {
            for (qsizetype j = 0; j < i; ++j)
                windows[j]->agreeToClose(false);
            e->ignore();
            return;
        }
        windows[i]->agreeToClose(true);
    }
    m_mdi->closeAllSubWindows();
    if (!m_mdi->subWindowList().isEmpty()) {
        for (DocumentWindow *w : windowsByRecentUse())
            w->agreeToClose(false);
        e->ignore();
        return;
    }
    FormClose();
    e->accept();
}

void TMainForm::FormClose()
{
    m_pressePapierFichier.clear();
    m_pressePapierAgenda.clear();
    // Each was written when its window closed; what could not be written then is tried again.
    m_text->SauveGlo();
    SauveAdr();
    m_utilities->SauveNotes();
}

void TMainForm::resizeEvent(QResizeEvent *e)
{
    QMainWindow::resizeEvent(e);
    FormResize();
}

void TMainForm::FormResize() { m_panel0->setFixedWidth(qMax(0, width() - 100)); }

void TMainForm::Timer1Timer() { m_panel1->setText(QStringLiteral("    ") + french::longTime(QTime::currentTime())); }

bool TMainForm::event(QEvent *e)
{
    if (e->type() == QEvent::StatusTip) {
        ShowStatusHint(static_cast<QStatusTipEvent *>(e)->tip());
        return true;
    }
    return QMainWindow::event(e);
}

// A hint shows while the mouse is on its item; when it ends (an empty hint), the caret
// position of the text window comes back.
void TMainForm::ShowStatusHint(const QString &longHint)
{
    m_panel0->setText(longHint.isEmpty() ? m_caretText : longHint);
}

void TMainForm::setStatusText(const QString &text)
{
    m_caretText = text;
    m_panel0->setText(text);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *e)
{
    // F1 on an open menu shows the help topic of that menu.
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(e)->key() == Qt::Key_F1) {
        if (auto *menu = qobject_cast<QMenu *>(watched)) {
            const int context = menu->property("helpContext").toInt();
            QMenu *m = menu;
            while (m) { // close the whole menu chain first
                QMenu *parentMenu = qobject_cast<QMenu *>(m->parentWidget());
                m->close();
                m = parentMenu;
            }
            QTimer::singleShot(0, this, [this, context] { showHelpContext(context); });
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

// Address file, font list

void TMainForm::ChargeAdr()
{
    addressfile::read(datafiles::readPath(QStringLiteral("Velmora.adr")), m_adresseExpediteur);
    m_text->SetExp(m_adresseExpediteur);
}

void TMainForm::SauveAdr()
{
    if (!m_adresseModifiee)
        return;
    const QString path = datafiles::writePath(QStringLiteral("Velmora.adr"));
    if (addressfile::write(path, m_adresseExpediteur)) {
        m_adresseModifiee = false;
        return;
    }
    errorhandler::show(this,
                       QStringLiteral("L'adresse de l'expéditeur n'a pas pu être enregistrée dans %1.")
                               .arg(QDir::toNativeSeparators(path)));
}

void TMainForm::GetFontName()
{
    const QStringList families = fonts::families();
    const QString text = m_comboBox1->currentText();
    m_comboBox1->blockSignals(true);
    m_comboBox1->clear();
    m_comboBox1->addItems(families);
    m_comboBox1->setEditText(text);
    m_comboBox1->blockSignals(false);
}

// Bookkeeping

DocumentWindow *TMainForm::activeDocument() const
{
    QMdiSubWindow *sw = m_mdi->currentSubWindow();
    return sw ? qobject_cast<DocumentWindow *>(sw->widget()) : nullptr;
}

QList<DocumentWindow *> TMainForm::windowsByRecentUse() const
{
    // The active window first, then the others from the most recently active (the
    // activation history ends with the latest); a window closing is out already.
    DocumentWindow *active = activeDocument();
    QList<DocumentWindow *> windows;
    if (active)
        windows.append(active);
    const QList<QMdiSubWindow *> history = m_mdi->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = history.crbegin(); it != history.crend(); ++it) {
        auto *w = qobject_cast<DocumentWindow *>((*it)->widget());
        if (w && w != active && !(*it)->isHidden())
            windows.append(w);
    }
    return windows;
}

DocumentWindow *TMainForm::reached(unsigned servedKinds) const
{
    const QList<DocumentWindow *> windows = windowsByRecentUse();
    QList<int> kinds;
    for (const DocumentWindow *w : windows)
        kinds.append(int(w->kind()));
    const int i = commandstate::reachedWindow(kinds, servedKinds);
    return i < 0 ? nullptr : windows[i];
}

DocumentWindow *TMainForm::createDocument(DocKind kind, const QString &caption)
{
    DocumentWindow *w = m_factory ? m_factory(kind, *this) : nullptr;
    if (!w) // a factory (a test's) that builds no window of this kind: a bare one stands in
        w = new DocumentWindow(kind, *this);
    w->setWindowTitle(caption);
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    QMdiSubWindow *sw = m_mdi->addSubWindow(w);
    sw->setAttribute(Qt::WA_DeleteOnClose);
    // The window's own system menu binds the keys of "Fermer" (Ctrl+W) and others too: two
    // bindings of one key make it do nothing. The frame's commands keep the keys.
    if (QMenu *system = sw->systemMenu())
        for (QAction *a : system->actions())
            a->setShortcut(QKeySequence());
    sw->setWindowIcon(toolbaricons::programIcon());
    connect(sw, &QObject::destroyed, this, [this] { QTimer::singleShot(0, this, &TMainForm::UpdateMenuItems); });
    m_dernier[int(kind)] = w;
    connect(w, &DocumentWindow::undoStateChanged, this, &TMainForm::updateUndoItems);
    if (m_recovery)
        m_recovery->watch(w);
    if (w->size().isEmpty() || w->size() == QSize(640, 480))
        sw->resize(qMin(520, m_mdi->width() - 20 > 200 ? m_mdi->width() - 20 : 520),
                   qMin(360, m_mdi->height() - 20 > 150 ? m_mdi->height() - 20 : 360));
    sw->show();
    m_mdi->setActiveSubWindow(sw);
    return w;
}

DocumentWindow *TMainForm::newDocument(DocKind kind)
{
    DocumentWindow *w = createDocument(kind, QString::fromLatin1(kCaptions[int(kind)]));
    ++m_nb[int(kind)];
    UpdateMenuItems();
    return w;
}

void TMainForm::UpdateMenuItems()
{
    // Commands follow the windows open now: an enabled command always has a window to act on.
    DocumentCounts c;
    for (QMdiSubWindow *sw : m_mdi->subWindowList()) {
        auto *w = qobject_cast<DocumentWindow *>(sw->widget());
        if (!w || sw->isHidden())
            continue;
        ++c.windows;
        int *perKind[kDocKinds] = {&c.textes, &c.tableurs, &c.fichiers, &c.agendas};
        ++*perKind[int(w->kind())];
    }
    for (const QString &name : commandstate::governedComponents()) {
        const bool on = commandstate::isEnabled(name, c);
        if (QAction *a = m_actions.value(name))
            a->setEnabled(on);
        if (QWidget *w = m_controls.value(name))
            w->setEnabled(on);
    }
    updateSpellingItems();
    updateUndoItems();
    // The number format belongs to spreadsheets: shown while one is the active window.
    if (QAction *a = m_actions.value(QStringLiteral("Nombre1")))
        a->setVisible(activeDocument() && activeDocument()->kind() == DocKind::Tableur);
}

// SetStyles

void TMainForm::SetStyles(bool bold, bool italic, bool underline, bool bullets, bool left, bool right, bool center,
                          const QString &size, const QString &fontName)
{
    m_majStyles = true;
    auto setDown = [this](const char *name, bool down) {
        static_cast<QToolButton *>(m_controls.value(QString::fromLatin1(name)))->setChecked(down);
    };
    setDown("BoldButton", bold);
    setDown("ItalButton", italic);
    setDown("UnderButton", underline);
    // The three alignment buttons are exclusive: exactly one stays down.
    m_alignGroup->setExclusive(false);
    setDown("LeftButton", left);
    setDown("RightButton", right);
    setDown("CenterButton", center);
    m_alignGroup->setExclusive(true);
    m_actions.value(QStringLiteral("Puces1"))->setChecked(bullets);
    // A box the user is typing in keeps what is typed: rewriting it would mix the window's
    // answer into the keystrokes.
    if (!m_comboBox1->hasFocus())
        m_comboBox1->setEditText(fontName);
    if (!m_spinEdit1->hasFocus()) {
        bool ok = false;
        const int v = size.trimmed().toInt(&ok);
        m_spinEdit1->setValue(qBound(m_spinEdit1->minimum(), ok ? v : 0, m_spinEdit1->maximum()));
    }
    m_majStyles = false;
}

// Window menu

void TMainForm::WindowCascadeItemClick() { m_mdi->cascadeSubWindows(); }

void TMainForm::WindowTileItemClick()
{
    // Horizontal tiling: the windows one above the other, each the full width.
    QList<QMdiSubWindow *> shown;
    for (QMdiSubWindow *sw : m_mdi->subWindowList())
        if (!sw->isMinimized())
            shown.append(sw);
    if (shown.isEmpty())
        return;
    const QRect area = m_mdi->viewport()->rect();
    const int h = area.height() / int(shown.size());
    for (int i = 0; i < shown.size(); ++i) {
        shown[i]->showNormal();
        shown[i]->setGeometry(0, i * h, area.width(), h);
    }
}

void TMainForm::WindowArrangeItemClick()
{
    // Minimised windows in a row along the bottom of the frame.
    const QRect area = m_mdi->viewport()->rect();
    int x = 0;
    int y = area.bottom();
    for (QMdiSubWindow *sw : m_mdi->subWindowList()) {
        if (!sw->isMinimized())
            continue;
        const QSize s = sw->size();
        if (x > 0 && x + s.width() > area.width()) {
            x = 0;
            y -= s.height();
        }
        sw->move(x, y - s.height() + 1);
        x += s.width();
    }
}

void TMainForm::WindowMinimizeItemClick()
{
    const QList<QMdiSubWindow *> list = m_mdi->subWindowList(QMdiArea::CreationOrder);
    for (qsizetype i = list.size() - 1; i >= 0; --i)
        list[i]->showMinimized();
}

void TMainForm::rebuildWindowList()
{
    for (QAction *a : m_windowListActions) {
        m_windowMenu->removeAction(a);
        a->deleteLater();
    }
    m_windowListActions.clear();
    const QList<QMdiSubWindow *> list = m_mdi->subWindowList(QMdiArea::CreationOrder);
    if (list.isEmpty())
        return;
    m_windowListActions.append(m_windowMenu->addSeparator());
    for (qsizetype i = 0; i < list.size(); ++i) {
        QMdiSubWindow *sw = list[i];
        const QString title = sw->widget() ? sw->widget()->windowTitle() : sw->windowTitle();
        QAction *a = m_windowMenu->addAction(i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(title) : title);
        a->setCheckable(true);
        a->setChecked(sw == m_mdi->currentSubWindow());
        connect(a, &QAction::triggered, this, [this, sw = QPointer<QMdiSubWindow>(sw)] {
            if (sw) {
                if (sw->isMinimized())
                    sw->showNormal();
                m_mdi->setActiveSubWindow(sw);
            }
        });
        m_windowListActions.append(a);
    }
}

// Help

void TMainForm::showHelpContext(int context)
{
    if (!m_help)
        m_help = new HelpBrowser(this);
    m_help->showContext(context);
}

int TMainForm::helpContextOfFocus() const
{
    // The nearest widget, from the focus up to the frame, that names a topic; a document
    // window names its own even when the focus sits in one of its inner controls.
    for (QWidget *w = QApplication::focusWidget(); w && w != this; w = w->parentWidget()) {
        const int context = w->property("helpContext").toInt();
        if (context > 0)
            return context;
    }
    if (DocumentWindow *doc = activeDocument()) {
        const int context = doc->property("helpContext").toInt();
        if (context > 0)
            return context;
    }
    return 0;
}

void TMainForm::HContents() { showHelpContext(0); }

void TMainForm::HSearch()
{
    if (!m_help)
        m_help = new HelpBrowser(this);
    m_help->showPage(QStringLiteral("index"));
}

void TMainForm::HowToUse()
{
    if (!m_help)
        m_help = new HelpBrowser(this);
    m_help->showPage(QStringLiteral("aide"));
}

void TMainForm::HelpAboutItemClick()
{
    if (!m_aboutBox)
        m_aboutBox = new TAboutBox(this);
    m_aboutBox->exec();
}
