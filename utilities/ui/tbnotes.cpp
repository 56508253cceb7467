#include "utilities/ui/tbnotes.h"

#include "common/atomicsave.h"
#include "common/cp1252.h"
#include "common/textfile.h"
#include "common/ui/errorhandler.h"
#include "common/ui/messageboxes.h"
#include "common/ui/printing.h"
#include "common/velmoraerror.h"
#include "utilities/core/notesfile.h"

#include <QFileInfo>
#include <QFrame>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kTopPanelHeight = 33;

// A small printer: the paper going in at the top, the body, the printed sheet in front.
QIcon printerIcon()
{
    QPixmap pm(18, 18);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(5, 1, 8, 6);
    p.setBrush(QColor(160, 160, 160));
    p.drawRect(1, 6, 16, 7);
    p.setBrush(Qt::white);
    p.drawRect(4, 10, 10, 7);
    p.drawLine(6, 13, 12, 13);
    p.drawLine(6, 15, 10, 15);
    p.setPen(Qt::green);
    p.drawPoint(14, 8);
    return QIcon(pm);
}
constexpr int kIoFileNotOpen = 103; // the print job could not start
constexpr int kIoWriteError = 101; // a page could not be written
const QString kPrintNotStarted =
        QStringLiteral("L'impression n'a pas pu commencer (imprimante ou fichier de sortie indisponible)");
const QString kPrintNotFinished = QStringLiteral("L'impression n'a pas pu être terminée");
} // namespace

TBnotes::TBnotes(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TBnotes"));
    setWindowTitle(QStringLiteral("Bloc-notes"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(533, 334);
    QFont system(QStringLiteral("System"));
    system.setPixelSize(17);
    setFont(system);

    auto *top = new QFrame(this);
    top->setObjectName(QStringLiteral("Panel1"));
    top->setFrameShape(QFrame::Panel);
    top->setFrameShadow(QFrame::Raised);
    top->setFixedHeight(kTopPanelHeight);
    SpeedButton9 = new QToolButton(top);
    SpeedButton9->setObjectName(QStringLiteral("SpeedButton9"));
    SpeedButton9->setIcon(QIcon::fromTheme(QStringLiteral("document-print"), printerIcon()));
    SpeedButton9->setIconSize(QSize(18, 18));
    SpeedButton9->setToolTip(QStringLiteral("Imprimer"));
    SpeedButton9->setAccessibleName(QStringLiteral("Imprimer"));
    SpeedButton9->setAutoRaise(true);
    SpeedButton9->setFocusPolicy(Qt::TabFocus);
    SpeedButton9->setGeometry(16, 4, 25, 25);
    connect(SpeedButton9, &QToolButton::clicked, this, [this] { errorhandler::run(this, [this] { Imprimer(); }); });
    auto *printKey = new QShortcut(QKeySequence::Print, this); // Ctrl+P
    connect(printKey, &QShortcut::activated, SpeedButton9, &QToolButton::click);
    Button1 = new QPushButton(QStringLiteral("Fermer"), top);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);
    Button1->setFocusPolicy(Qt::TabFocus);
    Button1->resize(89, 28);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    auto *body = new QFrame(this);
    body->setFrameShape(QFrame::Panel);
    body->setFrameShadow(QFrame::Sunken);
    Memo1 = new QPlainTextEdit(body);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setTabChangesFocus(false); // Tab types a tab; Ctrl+Tab leaves the text
    Memo1->installEventFilter(this);
    auto *bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(2, 2, 2, 2);
    bodyLayout->addWidget(Memo1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addWidget(body);
    FormResize();
}

TBnotes::~TBnotes() = default;

QStringList TBnotes::lines() const { return notesfile::linesOf(Memo1->toPlainText()); }

void TBnotes::setLines(const QStringList &lines)
{
    Memo1->setPlainText(notesfile::textOf(lines));
    setModified(false);
}

bool TBnotes::isModified() const { return Memo1->document()->isModified(); }

void TBnotes::setModified(bool modified) { Memo1->document()->setModified(modified); }

void TBnotes::Charge(const QString &path)
{
    if (!QFileInfo::exists(path))
        return;
    setLines(notesfile::parse(textfile::readBytes(path)));
}

void TBnotes::Sauve(const QString &path)
{
    if (!isModified())
        return;
    atomicsave::write(path, notesfile::serialize(lines()));
    setModified(false);
}

void TBnotes::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Memo1->setFocus();
}

bool TBnotes::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Memo1 && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & Qt::ControlModifier) {
            if (key->key() == Qt::Key_Tab) {
                focusNextChild();
                return true;
            }
            if (key->key() == Qt::Key_Backtab) {
                focusPreviousChild();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TBnotes::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void TBnotes::FormResize() { Button1->move(width() - 125, 2); }

void TBnotes::done(int result)
{
    // The notes file holds Windows-1252 text: say so before closing on characters it
    // cannot keep, while they can still be changed.
    if (isModified() && !cp1252::canEncode(Memo1->toPlainText())) {
        const auto answer = messageboxes::ask(
                this, messageboxes::Kind::Warning, QStringLiteral("Bloc-notes"),
                QStringLiteral("Certains caractères du bloc-notes ne peuvent pas être enregistrés dans le fichier "
                               "des notes ; ils y seront remplacés par « ? ».\nFermer quand même ?"),
                {messageboxes::Answer::Oui, messageboxes::Answer::Non});
        if (answer != messageboxes::Answer::Oui)
            return;
    }
    QDialog::done(result);
}

QPrinter &TBnotes::printer()
{
    if (!m_printer)
        m_printer = printing::createPrinter();
    return *m_printer;
}

void TBnotes::Imprimer()
{
    QPrinter &p = printer();
    printing::applyRedirection(p);
    if (!printing::hasOutput(p))
        throw VelmoraError::ioError(kIoFileNotOpen, kPrintNotStarted);
    print(p);
}

void TBnotes::print(QPrinter &printer) const
{
    // The editor's font at the same size in points, so the page looks like the screen.
    QFont font = Memo1->font();
    if (font.pixelSize() > 0)
        font.setPointSizeF(font.pixelSize() * 72.0 / 96.0);
    QPainter painter;
    if (!painter.begin(&printer))
        throw VelmoraError::ioError(kIoFileNotOpen, kPrintNotStarted);
    painter.setFont(font);
    const QFontMetrics metrics(font, &printer);
    const int lineHeight = metrics.height();
    const QStringList text = lines();
    // Tab stops every eight average characters, as text output to a printer has them.
    const int tabWidth = std::max(1, 8 * metrics.averageCharWidth());
    const auto pages = notesfile::paginate(int(text.size()), lineHeight, printer.height());
    for (qsizetype page = 0; page < pages.size(); ++page) {
        if (page > 0 && !printer.newPage()) {
            painter.end();
            throw VelmoraError::ioError(kIoWriteError, kPrintNotFinished);
        }
        for (int i = 0; i < pages[page].count; ++i) {
            const int baseline = i * lineHeight + metrics.ascent();
            int x = 0;
            const QStringList pieces = text[pages[page].first + i].split(u'\t');
            for (qsizetype k = 0; k < pieces.size(); ++k) {
                if (k > 0)
                    x = (x / tabWidth + 1) * tabWidth;
                painter.drawText(QPoint(x, baseline), pieces[k]);
                x += metrics.horizontalAdvance(pieces[k]);
            }
        }
    }
    if (!painter.end())
        throw VelmoraError::ioError(kIoWriteError, kPrintNotFinished);
}
