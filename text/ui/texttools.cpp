#include "text/ui/texttools.h"

#include "text/core/glossary.h"
#include "text/core/htmlexport.h"
#include "text/core/pageddocument.h"
#include "text/core/pagegeometry.h"
#include "text/core/toolformulas.h"
#include "text/ui/envelopeprinter.h"
#include "text/ui/richedit.h"
#include "text/ui/tcaract.h"
#include "text/ui/tcasse.h"
#include "text/ui/tdatheur.h"
#include "text/ui/tecran.h"
#include "text/ui/tenveloppes.h"
#include "text/ui/tglos.h"
#include "text/ui/tmep.h"
#include "text/ui/tparagraf.h"
#include "text/ui/tstats.h"
#include "text/ui/ttabul.h"
#include "text/ui/ttexte.h"

#include "common/converterregistry.h"
#include "common/datafiles.h"
#include "common/ui/errorhandler.h"
#include "common/ui/lazyform.h"
#include "common/ui/messageboxes.h"
#include "common/ui/printing.h"
#include "common/velmoraerror.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <utility>

TextTools::TextTools(QWidget *dialogParent) : m_dialogParent(dialogParent) { }

TextTools::~TextTools()
{
    // The forms may already be gone with their parent; QPointer then holds null.
    delete m_datHeur;
    delete m_casse;
    delete m_caract;
    delete m_enveloppes;
    delete m_tabul;
    delete m_glos;
    delete m_stats;
    delete m_paragraf;
    delete m_mep;
    delete m_ecran;
}

TDatHeur &TextTools::datHeur() const { return lazyForm(m_datHeur, m_dialogParent); }
TCasse &TextTools::casse() const { return lazyForm(m_casse, m_dialogParent); }
TCaract &TextTools::caract() const
{
    if (!m_caract) {
        lazyForm(m_caract, m_dialogParent);
        if (m_fontFamilies)
            m_caract->Init(*m_fontFamilies);
    }
    return *m_caract;
}

TEnveloppes &TextTools::enveloppes() const
{
    if (!m_enveloppes) {
        lazyForm(m_enveloppes, m_dialogParent);
        if (m_sender)
            m_enveloppes->SetExp(*m_sender);
    }
    return *m_enveloppes;
}

TTabul &TextTools::tabul() const { return lazyForm(m_tabul, m_dialogParent); }
TGlos &TextTools::glos() const
{
    if (!m_glos) {
        lazyForm(m_glos, m_dialogParent);
        if (m_glossaryRead)
            m_glos->setGlossary(*std::exchange(m_glossaryRead, std::nullopt), m_gloPathRead);
    }
    return *m_glos;
}
TStats &TextTools::stats() const { return lazyForm(m_stats, m_dialogParent); }
TParagraf &TextTools::paragraf() const { return lazyForm(m_paragraf, m_dialogParent); }
TMep &TextTools::mep() const { return lazyForm(m_mep, m_dialogParent); }
TEcran &TextTools::ecran() const { return lazyForm(m_ecran, m_dialogParent); }

void TextTools::run(QDialog &dialog)
{
    if (m_runner) {
        dialog.show();
        m_runner(dialog);
        if (dialog.isVisible())
            dialog.hide();
        return;
    }
    dialog.exec();
}

// Data files and start-up

void TextTools::ChargeGlo()
{
    // Read now; the glossary's form is made when first opened and takes it then.
    errorhandler::run(m_dialogParent, [this] {
        if (m_glos) {
            m_glos->ChargeGlo();
            return;
        }
        Glossary glossary;
        m_gloPathRead = datafiles::readPath(Glossary::fileName());
        glossary.load(m_gloPathRead);
        m_glossaryRead = std::move(glossary);
    });
}

void TextTools::SauveGlo()
{
    if (!m_glos || !m_glos->GloModified()) // a glossary never made holds no change
        return;
    errorhandler::run(m_dialogParent, [&] { glos().SauveGlo(datafiles::writePath(Glossary::fileName())); });
}

void TextTools::initSpecialCharacters(const QStringList &fontFamilies)
{
    m_fontFamilies = fontFamilies;
    if (m_caract)
        m_caract->Init(fontFamilies);
}

void TextTools::SetExp(const QStringList &lines)
{
    m_sender = lines;
    if (m_enveloppes)
        m_enveloppes->SetExp(lines);
}

QStringList TextTools::GetExp() const { return enveloppes().GetExp(); }

// Glossary

void TextTools::onSpaceTyped(TTexte &window)
{
    RichEdit *edit = window.RichEdit1;
    if (!edit || edit->selLength() != 0)
        return;
    const int space = edit->selStart() - 1; // where the space just typed went
    if (space <= 0 || edit->textRange(space, 1) != QLatin1String(" "))
        return;
    const int from = qMax(0, space - Glossary::kLookBack);
    QString word = edit->textRange(from, space - from);
    int length = 0;
    if (m_glos)
        m_glos->Cherche(word, length);
    else if (m_glossaryRead)
        m_glossaryRead->Cherche(word, length);
    else
        return;
    if (word.isEmpty() || length <= 0)
        return;
    edit->setSelection(space - length, length);
    edit->replaceSelection(word);
    edit->setSelection(edit->selStart() + 1, 0); // after the space again
}

void TextTools::Glossaire(TTexte &window)
{
    run(glos());
    SauveGlo(); // a change is kept as soon as the window closes
    const QString text = glos().Result();
    if (!text.isEmpty())
        window.RichEdit1->replaceSelection(text);
}

// Text tools

void TextTools::DateHeure(TTexte &window)
{
    run(datHeur());
    const QString format = datHeur().Result();
    if (!format.isEmpty())
        window.RichEdit1->replaceSelection(texttools::formatDateTime(format, datHeur().clock()));
}

void TextTools::ChangerCasse(TTexte &window)
{
    run(casse());
    const auto change = texttools::CaseChange(casse().Result());
    RichEdit *edit = window.RichEdit1;
    if (change == texttools::CaseChange::None || edit->selLength() == 0)
        return;
    const int start = edit->selStart();
    const int end = start + edit->selLength();
    // Run by run, so that each keeps its own character format (a case change is not a
    // reformatting); the lengths do not change, so the positions stay valid.
    struct Run
    {
        int from, to;
        QTextCharFormat format;
        QString text;
    };
    QList<Run> runs;
    QTextDocument *doc = edit->document();
    for (QTextBlock block = doc->findBlock(start); block.isValid() && block.position() < end; block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = qMax(start, fragment.position());
            const int to = qMin(end, fragment.position() + fragment.length());
            if (from >= to)
                continue;
            const QString text = fragment.text().mid(from - fragment.position(), to - from);
            const QString changed = texttools::changeCase(text, change);
            if (changed != text)
                runs.append({from, to, fragment.charFormat(), changed});
        }
    if (runs.isEmpty())
        return;
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    for (const Run &r : runs) {
        cursor.setPosition(r.from);
        cursor.setPosition(r.to, QTextCursor::KeepAnchor);
        cursor.insertText(r.text, r.format);
    }
    cursor.endEditBlock();
    edit->setSelection(start, end - start);
}

void TextTools::CarSpe(TTexte &window)
{
    run(caract());
    const QString character = caract().Result();
    if (!character.isEmpty())
        window.RichEdit1->replaceSelection(character);
}

void TextTools::Tabulations(TTexte &window)
{
    RichEdit *edit = window.RichEdit1;
    tabul().Init(edit->tabStops());
    run(tabul());
    if (!tabul().accepted())
        return;
    const QList<double> before = edit->tabStops();
    QList<double> stops = before;
    // The editor keeps stops in increasing order, as they are laid out.
    auto apply = [&] {
        std::sort(stops.begin(), stops.end());
        if (stops != before)
            edit->setTabStops(stops);
    };
    errorhandler::run(&window, [&] {
        try {
            tabul().Result(stops);
        } catch (const VelmoraError &) {
            apply(); // the lines before the faulty one are set
            throw;
        }
        apply();
    });
    window.SelectionChange();
}

void TextTools::Statistiques(TTexte &window)
{
    stats().Init(window.NomFichier(), window.RichEdit1->displayedLines());
    run(stats());
}

void TextTools::Paragraphe(TTexte &window)
{
    RichEdit *edit = window.RichEdit1;
    const RichEdit::Alignment alignment = edit->paragraphAlignment();
    // The dialog speaks as users know it: "A gauche" is where the lines start, "Première
    // ligne" how far the first one starts right of them (left of them when negative). The
    // editor holds the first line's start and the others' offset from it.
    const int shownLeft = qRound(edit->firstIndent() + edit->leftIndent());
    const int shownRight = qRound(edit->rightIndent());
    const int shownFirst = qRound(-edit->leftIndent());
    paragraf().Init(shownLeft, shownRight, shownFirst, alignment == RichEdit::Left, alignment == RichEdit::Right,
                    alignment == RichEdit::Center, edit->bullets());
    run(paragraf());
    int left = -1, right = 0, first = 0;
    bool isLeft = false, isRight = false, isCenter = false, bullets = false;
    paragraf().Result(left, right, first, isLeft, isRight, isCenter, bullets);
    if (left < 0)
        return;
    // A value left as shown keeps the paragraph's own (millimetres are coarser than points).
    auto keep = [](int chosen, int shown) {
        return texttools::pointsToMillimetres(chosen) == texttools::pointsToMillimetres(shown) ? shown : chosen;
    };
    left = keep(left, shownLeft);
    right = keep(right, shownRight);
    first = keep(first, shownFirst);
    edit->setFirstIndent(left + first);
    edit->setLeftIndent(-first);
    edit->setRightIndent(right);
    if (isLeft)
        edit->setParagraphAlignment(RichEdit::Left);
    else if (isCenter)
        edit->setParagraphAlignment(RichEdit::Center);
    else if (isRight)
        edit->setParagraphAlignment(RichEdit::Right);
    edit->setBullets(bullets);
    window.SelectionChange();
}

// Envelopes

void TextTools::ImpEnv(TTexte &window)
{
    run(enveloppes());
    const QStringList lines = enveloppes().Result();
    if (lines.value(0).isEmpty())
        return;
    errorhandler::run(&window, [&] {
        QPrinter &printer = window.frame().printer();
        // Said before asking for an envelope that could not be printed anyway.
        if (!printing::hasOutput(printer))
            throw VelmoraError(envelopeprinter::noPrinterMessage());
        messageboxes::inform(&window, QStringLiteral("Insérez une enveloppe dans l'imprimante"),
                             QStringLiteral("Velmora"));
        envelopeprinter::print(
                printer, lines.mid(0, 4), lines.mid(4, 4), [&window](int mm) { return window.Mh(mm); },
                [&window](int mm) { return window.Mv(mm); });
    });
}

// HTML export

void TextTools::Sauvehtm(TTexte &window)
{
    // The document as the window holds it, unsaved edits included, beside its file; a
    // document never saved asks for the page's name.
    QString page;
    if (!window.NomFichier().isEmpty()) {
        page = htmlexport::outputName(window.NomFichier());
    } else if (window.saveDialogHook()) {
        int index = 1;
        if (!window.saveDialogHook()(page, index))
            return;
    } else {
        page = QFileDialog::getSaveFileName(&window, QStringLiteral("Enregistrer au format HTML"), QString(),
                                            QStringLiteral("Pages HTML (*.htm)"));
    }
    if (page.isEmpty())
        return;
    if (QFileInfo(page).suffix().isEmpty())
        page += QStringLiteral(".htm");
    RichEdit *edit = window.RichEdit1;
    errorhandler::run(&window, [&] {
        htmlexport::exportBytes(edit->plainTextMode() ? edit->streamOut() : edit->rtf(), window.NomFichier(), page);
    });
}

void TextTools::registerConverters(ConverterRegistry &registry)
{
    Converter htm;
    htm.format = QStringLiteral("htm");
    htm.inputSuffixes = {QStringLiteral("qvt"), QStringLiteral("rtf")};
    htm.outputSuffix = QStringLiteral("htm");
    htm.run = [](const ConversionJob &job) { htmlexport::exportFile(job.input, job.output); };
    registry.add(htm);
}

// Page set-up and preview

void TextTools::SetPage(TTexte &window)
{
    mep().Init(window.MarginLeft, window.MarginTop, window.MarginRight, window.MarginBottom);
    run(mep());
    int left = -1, top = 0, right = 0, bottom = 0;
    mep().Result(left, top, right, bottom);
    if (left < 0)
        return;
    errorhandler::run(&window, [&] {
        QPrinter &printer = window.frame().printer();
        const QRect rect = pagegeometry::pageRectangle(printer.width(), printer.height(), window.Mh(1), window.Mv(1),
                                                       {left, top, right, bottom});
        // Margins that leave no room would print the document on the whole page instead.
        if (rect.width() <= 0 || rect.height() <= 0)
            throw VelmoraError(QStringLiteral("Les marges ne laissent aucune place sur la page"));
        window.MarginLeft = left;
        window.MarginTop = top;
        window.MarginRight = right;
        window.MarginBottom = bottom;
        window.setPageRect(rect);
    });
}

void TextTools::Apercu(TTexte &window)
{
    QPrinter &printer = window.frame().printer();
    const QSize page(printer.width(), printer.height());
    const QRect rect = window.printRect();
    // The pages are laid out as for the printer; the editor's own layout is not touched.
    ecran().setDocument(window.RichEdit1->paginate(rect, printer.logicalDpiX(), printer.logicalDpiY()), page);
    ecran().setWindowState(ecran().windowState() | Qt::WindowMaximized);
    run(ecran());
    ecran().setDocument(nullptr, page); // the snapshot is not kept after closing
}
