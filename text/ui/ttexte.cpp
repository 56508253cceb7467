#include "text/ui/ttexte.h"

#include "common/atomicsave.h"
#include "common/cp1252.h"
#include "common/textfile.h"
#include "common/ui/errorhandler.h"
#include "common/ui/fonts.h"
#include "common/ui/messageboxes.h"
#include "common/ui/printing.h"
#include "common/velmoraerror.h"
#include "text/core/mailmerge.h"
#include "text/core/pageddocument.h"
#include "text/core/pagegeometry.h"
#include "text/core/richtext.h"
#include "text/ui/richedit.h"
#include "text/ui/ruler.h"
#include "text/ui/spellunderline.h"
#include "text/ui/textfinddialogs.h"
#include "text/ui/texttools.h"

#include <QCloseEvent>
#include <QRadioButton>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <cmath>

namespace {

const char *const kSaveFilters[] = {"Fichiers texte (*.qvt)", "Format rtf (*.rtf)", "Format texte (*.txt)"};
const char *const kSaveExtensions[] = {".qvt", ".rtf", ".txt"};

// Cuts toward zero, as the ruler's formulas want.
int trunc0(double v) { return int(std::trunc(v)); }

} // namespace

TTexte::TTexte(FrameServices &frame, TextTools &tools, QWidget *parent)
    : DocumentWindow(DocKind::Texte, frame, parent),
      m_tools(tools)
{
    setObjectName(QStringLiteral("Texte"));
    setWindowTitle(QStringLiteral("Texte"));
    resize(542, 369);
    QFont systemFont(QStringLiteral("System"));
    systemFont.setPixelSize(16);
    setFont(systemFont);

    RulerPanel = new Ruler(this);
    FirstInd = new RulerMarker(RulerMarker::Shape::FirstLine, RulerPanel);
    LeftInd = new RulerMarker(RulerMarker::Shape::Left, RulerPanel);
    RightInd = new RulerMarker(RulerMarker::Shape::Right, RulerPanel);
    RichEdit1 = new RichEdit(this);
    RichEdit1->setProperty("helpContext", 5);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(RulerPanel);
    layout->addWidget(RichEdit1);
    setFocusProxy(RichEdit1);

    FindDialog1 = new TextFindDialog(this);
    ReplaceDialog1 = new TextReplaceDialog(this);
    connect(FindDialog1, &TextFindDialog::findNext, this, [this] { FindDialog1Find(FindDialog1); });
    connect(ReplaceDialog1, &TextReplaceDialog::findNext, this, &TTexte::ReplaceDialog1Find);
    connect(ReplaceDialog1, &TextReplaceDialog::replace, this, &TTexte::ReplaceDialog1Replace);
    connect(ReplaceDialog1, &TextReplaceDialog::replaceAll, this, &TTexte::ReplaceDialog1ReplaceAll);

    for (RulerMarker *m : {FirstInd, LeftInd, RightInd}) {
        connect(m, &RulerMarker::pressed, this, [this, m](int x) { RulerItemMouseDown(m, x); });
        connect(m, &RulerMarker::moved, this, [this, m](int x) { RulerItemMouseMove(m, x); });
    }
    connect(FirstInd, &RulerMarker::released, this, &TTexte::FirstIndMouseUp);
    connect(LeftInd, &RulerMarker::released, this, &TTexte::LeftIndMouseUp);
    connect(RightInd, &RulerMarker::released, this, &TTexte::RightIndMouseUp);

    connect(RichEdit1, &RichEdit::selectionChange, this, &TTexte::SelectionChange);
    connect(RichEdit1, &QTextEdit::undoAvailable, this, &DocumentWindow::undoStateChanged);
    connect(RichEdit1, &QTextEdit::redoAvailable, this, &DocumentWindow::undoStateChanged);
    connect(RichEdit1, &RichEdit::spaceTyped, this, [this] { m_tools.onSpaceTyped(*this); });
    Spelling = new SpellUnderline(RichEdit1);
    FormCreate();
}

TTexte::~TTexte() = default;

void TTexte::FormCreate()
{
    // The bars stand at the editor's default tab stops, measured from the text's left edge.
    RulerPanel->setTicks(RichEdit1->frameWidth() + RichEdit::kGutter, int(richtext::kDefaultTabPx));
    SelectionChange();
}

void TTexte::showEvent(QShowEvent *e)
{
    DocumentWindow::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        UpdateCursorPos();
        RichEdit1->setFocus();
    }
}

void TTexte::resizeEvent(QResizeEvent *e)
{
    DocumentWindow::resizeEvent(e);
    SelectionChange();
}

// Selection, ruler, status

void TTexte::SelectionChange()
{
    struct Guard
    {
        bool &flag;
        ~Guard() { flag = false; }
    } guard{m_updating};
    m_updating = true;

    const double f = RichEdit1->firstIndent();
    const double l = RichEdit1->leftIndent();
    const double r = RichEdit1->rightIndent();
    if (!m_dragging && !m_holdMarkers) {
        FirstInd->move(trunc0(f * 4 / 3) + 2, FirstInd->y());
        LeftInd->move(trunc0((l + f) * 4 / 3) + 2, LeftInd->y());
        RightInd->move(RulerPanel->width() - trunc0((r + 6) * 4 / 3) - 6, RightInd->y());
    }

    QList<int> tabs; // from the text's left edge, in points
    for (double points : RichEdit1->tabStops())
        tabs.append(RichEdit1->frameWidth() + RichEdit::kGutter + trunc0(points * 4 / 3));
    RulerPanel->setTabStops(tabs);

    const QTextCharFormat a = RichEdit1->selAttributes();
    const bool bold = a.fontWeight() >= QFont::DemiBold;
    const bool italic = a.fontItalic();
    const bool underline = a.fontUnderline();
    int size = int(std::lround(a.fontPointSize()));
    if (size < 4 || size > 100)
        size = 10;
    const QStringList families = a.fontFamilies().toStringList();
    QString name = families.isEmpty() ? QString() : families.first();
    if (name.isEmpty())
        name = QStringLiteral("Arial");
    const RichEdit::Alignment alignment = RichEdit1->paragraphAlignment();
    const bool bullets = RichEdit1->bullets();
    UpdateCursorPos();
    // Still updating while the frame sets its toolbar: whatever it might send back while
    // being set is ignored (the frame also holds its own guard).
    frame().SetStyles(bold, italic, underline, bullets, alignment == RichEdit::Left, alignment == RichEdit::Right,
                      alignment == RichEdit::Center, QString::number(size), name);
}

void TTexte::UpdateCursorPos()
{
    const int start = RichEdit1->selStart();
    const int line = RichEdit1->lineFromChar(start);
    int first = richtext::positionOfDisplayedLine(*RichEdit1->document(), line);
    if (first < 0)
        first = start;
    frame().setStatusText(QString::asprintf("Ligne: %3d   Col: %3d", line + 1, start - first + 1));
}

void TTexte::RulerItemMouseDown(RulerMarker *marker, int x)
{
    m_dragOffset = marker->width() / 2;
    marker->move(marker->x() + x - m_dragOffset, marker->y());
    m_dragging = true;
}

void TTexte::RulerItemMouseMove(RulerMarker *marker, int x)
{
    if (m_dragging)
        marker->move(marker->x() + x - m_dragOffset, marker->y());
}

// While a release sets the indents, the markers stay where they were dropped: the left
// marker's place is read after the first-line indent has been set.
struct TTexte::MarkerHold
{
    explicit MarkerHold(bool &flag) : m_flag(flag) { m_flag = true; }
    ~MarkerHold() { m_flag = false; }
    bool &m_flag;
};

void TTexte::FirstIndMouseUp()
{
    m_dragging = false;
    {
        MarkerHold hold(m_holdMarkers);
        RichEdit1->setFirstIndent(trunc0((FirstInd->x() + m_dragOffset - 6) * 0.75));
    }
    LeftIndMouseUp();
}

void TTexte::LeftIndMouseUp()
{
    m_dragging = false;
    {
        MarkerHold hold(m_holdMarkers);
        RichEdit1->setLeftIndent(trunc0((LeftInd->x() + m_dragOffset - 6) * 0.75) - RichEdit1->firstIndent());
    }
    SelectionChange();
}

void TTexte::RightIndMouseUp()
{
    m_dragging = false;
    {
        MarkerHold hold(m_holdMarkers);
        RichEdit1->setRightIndent(trunc0((RulerPanel->width() + m_dragOffset - RightInd->x() - 2) * 0.75) - 12);
    }
    SelectionChange();
}

// Files

bool TTexte::Modifie() const { return RichEdit1->modified(); }

void TTexte::setModifie(bool modified) { RichEdit1->setModified(modified); }

void TTexte::Charge(const QString &path)
{
    errorhandler::run(this, [&] {
        setNomFichier(path);
        if (!RichEdit1->loadShowingFirstPage(path))
            return; // the window was closed while the file was loading
        RichEdit1->setModified(false);
        RichEdit1->setSelection(0, 0);
    });
}

bool TTexte::runSaveDialog(QString &path, int &index)
{
    if (saveDialogHook())
        return saveDialogHook()(path, index);
    QStringList filters;
    for (const char *f : kSaveFilters)
        filters.append(QString::fromUtf8(f));
    QFileDialog dialog(this, QStringLiteral("Enregistrer sous"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(index - 1, filters.first()));
    if (!path.isEmpty())
        dialog.selectFile(path);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    path = dialog.selectedFiles().first();
    index = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    if (index < 1)
        index = 1;
    return true;
}

QString TTexte::askSaveName()
{
    QString path = NomFichier();
    int index = m_filterIndex;
    if (!runSaveDialog(path, index) || path.isEmpty())
        return QString();
    // The format follows the dialog's last choice, as the next saves do.
    m_filterIndex = qBound(1, index, 3);
    return path;
}

QString TTexte::saveName(const QString &chosen) const
{
    // Only a name without any dot gets the extension of the chosen format.
    return chosen.contains(u'.') ? chosen : chosen + QLatin1String(kSaveExtensions[m_filterIndex - 1]);
}

bool TTexte::confirmLossyText(const QString &text)
{
    if (cp1252::canEncode(text))
        return true;
    return messageboxes::ask(this, messageboxes::Kind::Warning, QStringLiteral("Avertissement"),
                             QStringLiteral("Certains caractères du document n'existent pas dans ce format et seront "
                                            "remplacés par « ? ».\nEnregistrer quand même ?"),
                             {messageboxes::Answer::Oui, messageboxes::Answer::Non})
            == messageboxes::Answer::Oui;
}

bool TTexte::writeFile(const QString &path)
{
    // Written by the format chosen in the dialog, not by the name's extension.
    if (m_filterIndex == 3)
        return writePlainText(path);
    if (RichEdit1->plainTextMode() && !confirmLossyText(RichEdit1->toPlainText()))
        return false;
    atomicsave::write(path, RichEdit1->streamOut());
    return true;
}

bool TTexte::writePlainText(const QString &path)
{
    // In the encoding the file was read in: a UTF-8 file stays UTF-8, others Windows-1252.
    const QStringList lines = RichEdit1->Lines();
    const textfile::Encoding encoding = RichEdit1->textEncoding();
    if (encoding == textfile::Encoding::Windows1252) {
        if (!confirmLossyText(lines.join(QString())))
            return false;
        atomicsave::write(path, textfile::joinCrLf(lines));
        return true;
    }
    QString text;
    for (const QString &line : lines)
        text += line + QLatin1String("\r\n");
    atomicsave::write(path, textfile::encode(text, encoding));
    return true;
}

void TTexte::Sauvetxt()
{
    errorhandler::run(this, [&] { writePlainText(NomFichier()); });
}

void TTexte::Importer()
{
    QString path;
    if (importDialogHook) {
        path = importDialogHook();
    } else {
        QFileDialog dialog(this, QStringLiteral("Insérer fichier"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters({QStringLiteral("Fichiers velmora (*.qvt)"), QStringLiteral("Fichiers texte (*.txt)"),
                               QStringLiteral("Tous les fichiers (*)")});
        dialog.selectNameFilter(QStringLiteral("Fichiers texte (*.txt)"));
        dialog.selectFile(QStringLiteral("*.txt"));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().first();
    }
    if (path.isEmpty())
        return;
    errorhandler::run(this, [&] {
        const QStringList lines = textfile::readTextLines(path);
        // A text file imported into an empty document gives it its encoding for a save as text.
        if (RichEdit1->document()->isEmpty())
            RichEdit1->setTextEncoding(textfile::detect(textfile::readBytes(path)));
        QTextCursor edit = RichEdit1->textCursor();
        edit.beginEditBlock(); // one undo step for the whole file
        for (const QString &line : lines)
            RichEdit1->replaceSelection(line + QLatin1String("\r\n"));
        edit.endEditBlock();
    });
}

void TTexte::Codes(bool plain)
{
    // The code view converts the document in memory: entering it shows the RTF the document
    // would be saved as, leaving it reads the (possibly edited) codes back. Nothing typed
    // since the last save is lost, and a never-saved document can be viewed too.
    errorhandler::run(this, [&] {
        if (plain == RichEdit1->plainTextMode())
            return;
        const bool wasModified = isModified();
        const QByteArray bytes = RichEdit1->streamOut();
        RichEdit1->setPlainTextMode(plain);
        RichEdit1->streamIn(bytes);
        RichEdit1->setModified(wasModified);
    });
}

void TTexte::Imprime()
{
    errorhandler::run(this, [&] { RichEdit1->print(frame().printer(), printRect()); });
}

QRect TTexte::printRect() const
{
    if (!m_pageRect.isEmpty())
        return m_pageRect;
    // Never set up: the window's margins (20 mm each) on the printer selected now, so that
    // no printer cuts the text at the paper's edge.
    QPrinter &printer = frame().printer();
    const QRect rect = pagegeometry::pageRectangle(printer.width(), printer.height(), Mh(1), Mv(1),
                                                   {MarginLeft, MarginTop, MarginRight, MarginBottom});
    return rect.width() > 0 && rect.height() > 0 ? rect : QRect(0, 0, printer.width(), printer.height());
}

int TTexte::Mh(int mm) const { return mm * printing::pixelsPerMmX(frame().printer()); }

int TTexte::Mv(int mm) const { return mm * printing::pixelsPerMmY(frame().printer()); }

// Editing

void TTexte::Annule()
{
    RichEdit1->undo();
    SelectionChange(); // the toolbar shows the format at the caret again
}

void TTexte::Retablit()
{
    RichEdit1->redo();
    SelectionChange();
}

bool TTexte::canUndo() const { return RichEdit1->document()->isUndoAvailable(); }
bool TTexte::canRedo() const { return RichEdit1->document()->isRedoAvailable(); }
void TTexte::Coupe() { RichEdit1->cut(); }
void TTexte::Copie() { RichEdit1->copy(); }
void TTexte::Colle() { RichEdit1->paste(); }
void TTexte::Seltout() { RichEdit1->selectAll(); }

void TTexte::Publipostage()
{
    errorhandler::run(this, [&] {
        // The template as the control writes it, left in the current directory.
        const QByteArray model = RichEdit1->streamOut();
        atomicsave::write(QDir::current().filePath(QStringLiteral("Mail.tmp")), model);
        int first = 1;
        int last = 0;
        if (!frame().Bornes(first, last)) {
            messageboxes::inform(this, QStringLiteral("Aucune base de données ouverte"));
            return;
        }
        if (last < first)
            return;
        // One copy per record, all in one print job; the window keeps showing the template.
        QPrinter &printer = frame().printer();
        if (!printing::hasOutput(printer))
            throw VelmoraError(QStringLiteral("Aucune imprimante par défaut sélectionnée"));
        const QRect rect = printRect();
        printer.setDocName(QString());
        QPainter painter;
        if (!painter.begin(&printer))
            throw VelmoraError::cannotOpen(printer.outputFileName());
        for (int record = first; record <= last; ++record) {
            std::unique_ptr<QTextDocument> copy(RichEdit1->document()->clone());
            mailmerge::fillRecord(*copy, record, [this](int r, QString &text) { frame().Contenu(r, text); });
            PagedDocument pages(*copy, rect, printer.logicalDpiX(), printer.logicalDpiY());
            for (int page = 0; page < pages.pageCount(); ++page) {
                if (record > first || page > 0)
                    printer.newPage();
                pages.drawPage(painter, page);
            }
        }
        painter.end();
    });
}

void TTexte::InsChamp()
{
    const QString name = frame().ChoisirChamp();
    if (!name.isEmpty())
        RichEdit1->replaceSelection(u'[' + name + u']');
}

// Formatting

QTextCharFormat TTexte::CurrText() const
{
    return RichEdit1->selLength() > 0 ? RichEdit1->selAttributes() : RichEdit1->defAttributes();
}

void TTexte::setCurrText(const QTextCharFormat &format)
{
    if (RichEdit1->plainTextMode())
        return;
    if (RichEdit1->selLength() > 0)
        RichEdit1->mergeSelAttributes(format);
    else
        RichEdit1->mergeDefAttributes(format);
}

void TTexte::Bold(bool on)
{
    if (m_updating)
        return;
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    setCurrText(f);
}

void TTexte::Ital(bool on)
{
    if (m_updating)
        return;
    QTextCharFormat f;
    f.setFontItalic(on);
    setCurrText(f);
}

void TTexte::Under(bool on)
{
    if (m_updating)
        return;
    QTextCharFormat f;
    f.setFontUnderline(on);
    setCurrText(f);
}

void TTexte::FontName(const QString &name)
{
    if (m_updating || name.trimmed().isEmpty())
        return;
    QTextCharFormat f;
    f.setFontFamilies({fonts::plainFamily(name)});
    setCurrText(f);
}

void TTexte::FontSize(int size)
{
    if (m_updating || size <= 0)
        return;
    QTextCharFormat f;
    f.setFontPointSize(qMin(size, richtext::kMaxPointSize));
    setCurrText(f);
}

void TTexte::Bullets(bool on)
{
    if (m_updating)
        return;
    RichEdit1->setBullets(on);
}

void TTexte::Justif(Alignment alignment)
{
    if (m_updating)
        return;
    switch (alignment) {
    case Alignment::Left: RichEdit1->setParagraphAlignment(RichEdit::Left); break;
    case Alignment::Centre: RichEdit1->setParagraphAlignment(RichEdit::Center); break;
    case Alignment::Right: RichEdit1->setParagraphAlignment(RichEdit::Right); break;
    }
}

QFont TTexte::GetFont()
{
    const QTextCharFormat a = RichEdit1->selAttributes();
    const QStringList families = a.fontFamilies().toStringList();
    // A family this machine lacks (the default "Arial") opens the dialog on the family shown
    // in its place; the document keeps its own name unless the user picks another family.
    QFont font = fonts::dialogFont(families.isEmpty() || families.first().isEmpty() ? richtext::defaultFamily()
                                                                                    : families.first());
    font.setPointSizeF(a.fontPointSize() > 0 ? a.fontPointSize() : richtext::kDefaultPointSize);
    font.setBold(a.fontWeight() >= QFont::DemiBold);
    font.setItalic(a.fontItalic());
    font.setUnderline(a.fontUnderline());
    font.setStrikeOut(a.fontStrikeOut());
    m_fontShown = font;
    return font;
}

QColor TTexte::GetColour()
{
    const QTextCharFormat a = RichEdit1->selAttributes();
    return a.hasProperty(QTextFormat::ForegroundBrush) && a.foreground().style() != Qt::NoBrush
            ? a.foreground().color().toRgb()
            : QColor(Qt::black);
}

void TTexte::SetFont(const QFont &font, const QColor &colour)
{
    // Only what the user changed from the font the dialog showed is applied, so that the
    // parts of a mixed selection and the styles nobody touched stay as they are.
    fonts::Changes changed;
    if (m_fontShown)
        changed = fonts::changes(*m_fontShown, font);
    else
        changed = {true, true, true, true, true, true};
    m_fontShown.reset();
    QTextCharFormat f;
    if (changed.family)
        f.setFontFamilies({fonts::plainFamily(font.family())});
    if (changed.size && font.pointSizeF() > 0) // no larger than a text file holds
        f.setFontPointSize(qMin(font.pointSizeF(), double(richtext::kMaxPointSize)));
    if (changed.bold)
        f.setFontWeight(font.bold() ? QFont::Bold : QFont::Normal);
    if (changed.italic)
        f.setFontItalic(font.italic());
    if (changed.underline)
        f.setFontUnderline(font.underline());
    if (changed.strikeOut)
        f.setFontStrikeOut(font.strikeOut());
    if (colour.isValid())
        f.setForeground(colour.toRgb());
    if (!f.properties().isEmpty())
        setCurrText(f);
    RichEdit1->setFocus();
}

// Find and replace

void TTexte::Chercher()
{
    FindDialog1->show();
    FindDialog1->raise();
    FindDialog1->activateWindow();
    FindDialog1->FindEdit->setFocus();
}

void TTexte::FindDialog1Find(QObject *sender)
{
    // "Continuer" with nothing asked for yet opens the find dialog.
    if (sender != FindDialog1 && FindDialog1->findText().isEmpty()) {
        Chercher();
        return;
    }
    search(FindDialog1->findText(), FindDialog1->wholeWord(), FindDialog1->matchCase(),
           FindDialog1->UpButton->isChecked());
}

void TTexte::Remplacer()
{
    ReplaceDialog1->show();
    ReplaceDialog1->raise();
    ReplaceDialog1->activateWindow();
    ReplaceDialog1->FindEdit->setFocus();
}

void TTexte::ReplaceDialog1Find()
{
    search(ReplaceDialog1->findText(), ReplaceDialog1->wholeWord(), ReplaceDialog1->matchCase());
}

namespace {
void sayNotFound(QWidget *parent, const QString &text, const QString &title)
{
    messageboxes::inform(parent, QStringLiteral("« %1 » est introuvable.").arg(text), title);
}
} // namespace

void TTexte::search(const QString &text, bool wholeWord, bool matchCase, bool upward)
{
    if (text.isEmpty())
        return;
    RichEdit::FindOptions options;
    if (wholeWord)
        options |= RichEdit::WholeWord;
    if (matchCase)
        options |= RichEdit::MatchCase;
    // From the caret: down from one character past the start of the selection (so that the
    // next search finds overlapping matches too), up from before it; past the end of the
    // document the search goes round once. A text found nowhere is said so.
    const QTextCursor caret = RichEdit1->textCursor();
    const int length = RichEdit1->textLength();
    int p;
    if (upward) {
        p = RichEdit1->findTextBackward(text, caret.selectionStart(), options);
        if (p < 0)
            p = RichEdit1->findTextBackward(text, length, options);
    } else {
        const int from = caret.hasSelection() ? caret.selectionStart() + 1 : caret.position();
        p = RichEdit1->findText(text, from, length - from, options);
        if (p < 0)
            p = RichEdit1->findText(text, 0, length, options);
    }
    if (p < 0) {
        sayNotFound(this, text, QStringLiteral("Rechercher"));
        return;
    }
    RichEdit1->setSelection(p, int(text.size()));
}

void TTexte::ReplaceDialog1Replace()
{
    const QString wanted = ReplaceDialog1->findText();
    const QString selected = RichEdit1->selText();
    // Only a selection that is what is searched for gets replaced; otherwise the press
    // looks for the next occurrence, so stray text is never typed into the document.
    const Qt::CaseSensitivity cs = ReplaceDialog1->matchCase() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (!wanted.isEmpty() && selected.compare(wanted, cs) == 0)
        RichEdit1->replaceSelection(ReplaceDialog1->replaceText());
    ReplaceDialog1Find();
}

void TTexte::ReplaceDialog1ReplaceAll()
{
    const QString wanted = ReplaceDialog1->findText();
    if (wanted.isEmpty())
        return;
    RichEdit::FindOptions options;
    if (ReplaceDialog1->wholeWord())
        options |= RichEdit::WholeWord;
    if (ReplaceDialog1->matchCase())
        options |= RichEdit::MatchCase;
    const QString replacement = ReplaceDialog1->replaceText();
    QTextCursor edit = RichEdit1->textCursor();
    edit.beginEditBlock(); // one undo step
    int from = 0;
    int count = 0;
    for (;;) {
        const int p = RichEdit1->findText(wanted, from, RichEdit1->textLength() - from, options);
        if (p < 0)
            break;
        RichEdit1->setSelection(p, int(wanted.size()));
        RichEdit1->replaceSelection(replacement);
        from = p + int(replacement.size()); // never inside what was just put in
        ++count;
    }
    edit.endEditBlock();
    if (count == 0)
        sayNotFound(this, wanted, QStringLiteral("Remplacer"));
}

// Operations carried out by the text tools

void TTexte::Sauvehtm() { m_tools.Sauvehtm(*this); }
void TTexte::SetPage() { m_tools.SetPage(*this); }
void TTexte::Apercu() { m_tools.Apercu(*this); }
void TTexte::DateHeure() { m_tools.DateHeure(*this); }
void TTexte::ChangerCasse() { m_tools.ChangerCasse(*this); }
void TTexte::CarSpe() { m_tools.CarSpe(*this); }
void TTexte::Tabulations() { m_tools.Tabulations(*this); }
void TTexte::ImpEnv() { m_tools.ImpEnv(*this); }
void TTexte::Glossaire() { m_tools.Glossaire(*this); }
void TTexte::Statistiques() { m_tools.Statistiques(*this); }
void TTexte::Paragraphe() { m_tools.Paragraphe(*this); }
