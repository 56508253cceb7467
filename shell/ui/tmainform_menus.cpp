// The frame's menu bar, toolbar and status bar, built from tables: caption, component
// name, hint, shortcut and flags of every item.
#include "shell/ui/tmainform.h"

#include "common/ui/fonts.h"
#include "common/ui/hint.h"
#include "shell/ui/spinedit.h"
#include "shell/ui/toolbaricons.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <utility>

namespace {

enum ItemFlag : unsigned {
    None = 0,
    Hidden = 1,
    Checkable = 2,
    Checked = 4,
    Separator = 8,
    SubmenuBegin = 16,
    SubmenuEnd = 32,
};

struct ItemDef
{
    const char16_t *caption;
    const char *component;
    const char16_t *hint;
    unsigned flags;
    void (TMainForm::*handler)();
    // The key shown in the menu; the platform's other keys for the same standard command
    // work too.
    QKeySequence shortcut = {};
    QKeySequence::StandardKey standard = QKeySequence::UnknownKey;
};

struct MenuDef
{
    const char16_t *caption;
    const char *component;
    const char16_t *hint;
    int helpContext;
    std::vector<ItemDef> items;
};

// The key shown first, then the platform's other keys for the same standard command (the
// platform may bind none, as some do for Quit).
QList<QKeySequence> shortcutKeys(const QKeySequence &shown, QKeySequence::StandardKey standard)
{
    QList<QKeySequence> keys{shown};
    if (standard != QKeySequence::UnknownKey)
        for (const QKeySequence &k : QKeySequence::keyBindings(standard))
            if (!keys.contains(k))
                keys.append(k);
    return keys;
}

ItemDef sep(const char *component, unsigned flags = None) { return {u"", component, u"", Separator | flags, nullptr}; }

std::vector<MenuDef> menuTable()
{
    using F = TMainForm;
    return {
            {u"&Fichier",
             "File1",
             u"Commandes liées aux menus",
             3,
             {
                     {u"&Nouveau", "FileNewItem", u"Créer un nouveau fichier", SubmenuBegin, nullptr},
                     {u"Nouveau texte", "Texte1", u"", None, &F::Texte1Click, QKeySequence(Qt::CTRL | Qt::Key_N),
                      QKeySequence::New},
                     {u"Nouveau tableur", "Tableur1", u"", None, &F::Tableur1Click},
                     {u"Nouvelle base de données", "Fichier1", u"", None, &F::Fichier1Click},
                     {u"Nouvel agenda", "Agenda1", u"", SubmenuEnd, &F::Agenda1Click},
                     {u"&Ouvrir", "FileOpenItem", u"Ouvrir un fichier existant", None, &F::FileOpenItemClick,
                      QKeySequence(Qt::CTRL | Qt::Key_O), QKeySequence::Open},
                     {u"&Fermer", "FileCloseItem", u"Fermer fichier en cours", None, &F::FileCloseItemClick,
                      QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence::Close},
                     sep("N2"),
                     {u"&Enregistrer", "FileSaveItem", u"Enregistrer le fichier en cours", None, &F::FileSaveItemClick,
                      QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence::Save},
                     {u"Enregistrer &sous...", "FileSaveAsItem", u"Enregistrer le fichier en cours sous...", None,
                      &F::FileSaveAsItemClick, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), QKeySequence::SaveAs},
                     {u"Enregistrer au format &HTML", "EnregistrerauformatHTML1", u"Enregistrer en html", None,
                      &F::EnregistrerauformatHTML1Click},
                     {u"I&mporter...", "Importer1", u"Importer", None, &F::Importer1Click},
                     sep("N7"),
                     {u"Mise en &page...", "Miseenpage1", u"Miuse en page", None, &F::Miseenpage1Click},
                     {u"&Configuration imprimante...", "Configurationimprimante1", u"Configurer l'imprimante", None,
                      &F::Configurationimprimante1Click},
                     {u"&Aperçu avant impression", "Aperuavantimpression1", u"Aperçu avant impression", None,
                      &F::Aperuavantimpression1Click},
                     {u"&Imprimer...", "Imprimer1", u"Imprimer", None, &F::Imprimer1Click,
                      QKeySequence(Qt::CTRL | Qt::Key_P), QKeySequence::Print},
                     sep("N1"),
                     {u"&Quitter", "FileExitItem", u"Quitter l'application", None, &F::FileExitItemClick,
                      QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence::Quit},
             }},
            {u"&Edition",
             "Edit1",
             u"",
             4,
             {
                     {u"&Annuler", "Annuler1", u"Annuler", None, &F::Annuler1Click, QKeySequence(Qt::CTRL | Qt::Key_Z),
                      QKeySequence::Undo},
                     {u"R&établir", "Retablir1", u"Rétablir", None, &F::Retablir1Click,
                      QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence::Redo},
                     sep("N5"),
                     {u"&Couper", "CutItem", u"Couper dans le Presse-papiers", None, &F::CutItemClick,
                      QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence::Cut},
                     {u"Co&pier", "CopyItem", u"Copier dans le Presse-papiers", None, &F::CopyItemClick,
                      QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence::Copy},
                     {u"C&oller", "PasteItem", u"Coller depuis le Presse-papiers", None, &F::PasteItemClick,
                      QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence::Paste},
                     sep("N10"),
                     {u"C&hercher...", "Chercher1", u"Chercher", None, &F::Chercher1Click,
                      QKeySequence(Qt::CTRL | Qt::Key_F), QKeySequence::Find},
                     {u"Con&tinuer", "Continuer1", u"Continuer", None, &F::Continuer1Click, QKeySequence(Qt::Key_F3),
                      QKeySequence::FindNext},
                     {u"&Remplacer...", "Remplacer1", u"Remplacer", None, &F::Remplacer1Click,
                      QKeySequence(Qt::CTRL | Qt::Key_H), QKeySequence::Replace},
                     {u"&Tout sélectionner", "Toutslectionner1", u"Tout sélectionner", None, &F::Toutslectionner1Click,
                      QKeySequence(Qt::CTRL | Qt::Key_A), QKeySequence::SelectAll},
                     sep("N4"),
                     {u"&Insérer ligne", "Insrerligne1", u"Insérer ligne/enregistrement", None, &F::Insrerligne1Click},
                     {u"I&nsérer colonne", "Insrercolonne1", u"Insérer colonne/champ", None, &F::Insrercolonne1Click},
                     sep("N6"),
                     {u"&Supprimer ligne", "Supprimerligne1", u"Supprimer ligne/enregistrement", None,
                      &F::Supprimerligne1Click},
                     {u"S&upprimer colonne", "Supprimercolonne1", u"Supprimer colonne/champ", None,
                      &F::Supprimercolonne1Click},
             }},
            {u"&Texte",
             "Tableur2",
             u"",
             5,
             {
                     {u"&Date et heure...", "Dateheure1", u"Insérer la date", None, &F::Dateheure1Click},
                     {u"&Puces", "Puces1", u"Puces", Checkable, &F::Puces1Click},
                     {u"&Changer la casse...", "Changerlacasse1", u"Changer la casse", None, &F::Changerlacasse1Click},
                     {u"Caractères &spéciaux...", "Caractresspciaux1", u"Table des caractères", None,
                      &F::Caractresspciaux1Click},
                     {u"&Tabulations...", "Tabulations1", u"Définir les tabulations", None, &F::Tabulations1Click},
                     sep("N12"),
                     {u"&Enveloppes...", "Enveloppes1", u"Imprimer les enveloppes", None, &F::Enveloppes1Click},
                     {u"&Glossaire...", "Glossaire1", u"Glossaire", None, &F::Glossaire1Click},
                     {u"Champ &base de donnée", "Champbasededonne1", u"Insérer champ", None,
                      &F::Champbasededonne1Click},
                     {u"P&ublipostage", "Publipostage1", u"Publipostage à partir d'un fichier", None,
                      &F::Publipostage1Click},
                     sep("N13"),
                     {u"&Statistiques", "Statistiques1", u"Statistiques", None, &F::Statistiques1Click},
                     {u"&Voir codes RTF", "Voircodesrtf1", u"Voir codes RTF", Checkable, &F::Voircodesrtf1Click},
                     sep("N19"),
                     {u"&Orthographe...", "Orthographe1", u"Vérifier l'orthographe", None, &F::Orthographe1Click,
                      QKeySequence(Qt::Key_F7)},
                     {u"Vérification auto&matique", "Verificationautomatique1", u"Souligner les mots inconnus",
                      Checkable | Checked, &F::Verificationautomatique1Click},
             }},
            {u"T&ableur",
             "Tableur3",
             u"",
             6,
             {
                     {u"&Largeur colonne...", "Largeurcolonne1", u"Largeur colonne", None, &F::Largeurcolonne1Click},
                     {u"&Hauteur ligne...", "Hauteurligne1", u"Hauteur de ligne", None, &F::Hauteurligne1Click},
                     {u"&Ajustement automatique", "Ajustementautomatique1", u"Ajustement automatique", None,
                      &F::Ajustementautomatique1Click},
                     sep("N14"),
                     {u"Figer &lignes", "Figerlignes1", u"Figer les premières lignes", Checkable,
                      &F::Figerlignes1Click},
                     {u"Figer &colonnes", "Figercolonnes1", u"Fixer les premières colonnes", Checkable,
                      &F::Figercolonnes1Click},
                     sep("N11"),
                     {u"&Fonctions", "Fonctions1", u"Fonctions", None, &F::Fonctions1Click},
                     {u"&Onglets", "Onglets1", u"Définir les onglets", None, &F::Onglets1Click},
                     {u"&Trier...", "Trier2", u"Trier", None, &F::Trier2Click},
                     {u"&Graphique...", "Graphique1", u"Graphique", None, &F::Graphique1Click},
                     sep("N9"),
                     {u"&Recalculer maintenant", "Recalculermaintenant1", u"Recalculer les formules", None,
                      &F::Recalculermaintenant1Click},
                     {u"&Montrer les formules", "Montrerlesformules1", u"Montrer les formules", Checkable,
                      &F::Montrerlesformules1Click},
                     {u"Montrer la &grille", "Montrerlagrille1", u"Montrer la grille", Checkable | Checked,
                      &F::Montrerlagrille1Click},
             }},
            {u"&Base de données",
             "Basededonnes1",
             u"",
             7,
             {
                     {u"&Champs...", "Champs1", u"Editer champs", None, &F::Champs1Click},
                     sep("N3"),
                     {u"Vue &liste", "Liste1", u"Vue liste", Checkable | Checked, &F::Liste1Click},
                     {u"Vue &fiche", "Fiche1", u"Vue fiche", Checkable, &F::Fiche1Click},
                     sep("N15"),
                     {u"&Enveloppes", "Enveloppes2", u"Enveloppes", None, &F::Enveloppes2Click},
                     sep("N16"),
                     {u"&Trier...", "Trier1", u"Trier", None, &F::Trier1Click},
             }},
            {u"Agen&da",
             "Agenda2",
             u"",
             8,
             {
                     {u"&Définir Journée", "Journe1", u"Définir journée", None, &F::Journe1Click},
                     sep("N8"),
                     {u"&Journée", "Journe2", u"Vue journée", Hidden | Checkable | Checked, &F::Journe2Click},
                     {u"Semaine", "Semaine1", u"Vue semaine", Hidden | Checkable, &F::Semaine1Click},
                     sep("N17", Hidden),
                     {u"&Définir étendue", "Grouper1", u"Définir plage", None, &F::Grouper1Click},
                     {u"&Supprimer étendue", "Supprimertendue1", u"Supprimer étendue", None, &F::Supprimertendue1Click},
             }},
            {u"Fo&rmat",
             "Texte2",
             u"",
             9,
             {
                     {u"&Police...", "Police1", u"Police", None, &F::Police1Click},
                     {u"Para&graphe...", "Paragraphe1", u"Paragraphe", None, &F::Paragraphe1Click},
                     {u"&Nombre...", "Nombre1", u"Format des nombres", None, &F::Nombre1Click},
             }},
            {u"&Utilitaires",
             "Utilitaires1",
             u"",
             10,
             {
                     {u"&Calendrier", "Calendrier1", u"Calendrier", None, &F::Calendrier1Click},
                     {u"C&alculatrice", "Calculatrice1", u"Calculatrice", None, &F::Calculatrice1Click},
                     {u"&Horloge", "Horloge1", u"Horloge", None, &F::Horloge1Click},
                     {u"&Euro convertisseur", "Euroconvertisseur1", u"Euro convertisseur", None,
                      &F::Euroconvertisseur1Click},
                     {u"&Bloc-notes", "Blocnotes1", u"Bloc-notes", None, &F::Blocnotes1Click},
                     {u"Pèse-lettres", "Pselettres1", u"Pèse lettres", None, &F::Pselettres1Click},
             }},
            {u"Fe&nêtre",
             "Window1",
             u"Commandes de fenêtres telles que Mosaïque et Cascade",
             11,
             {
                     {u"&Cascade", "WindowCascadeItem", u"Disposer les fenêtre de façon qu'elles se recouvrent", None,
                      &F::WindowCascadeItemClick},
                     {u"&Mosaïque", "WindowTileItem", u"Disposer les fenêtre sans recouvrement", None,
                      &F::WindowTileItemClick},
                     {u"&Réorganiser les icônes", "WindowArrangeItem",
                      u"Disposer les icônes en bas de la fenêtre principale", None, &F::WindowArrangeItemClick},
                     {u"&Tout réduire", "WindowMinimizeItem", u"Réduire toutes les fenêtres", None,
                      &F::WindowMinimizeItemClick},
             }},
            {u"&?",
             "Help1",
             u"Rubriques d'aide",
             12,
             {
                     {u"&Index", "Index1", u"Sommaire de l'aide", Hidden, &F::HContents},
                     {u"&Rechercher...", "Rechercher1", u"Rechercher", Hidden, &F::HSearch},
                     {u"&Utiliser l'aide", "Utiliserlaide1", u"Utiliser l'aide", Hidden, &F::HowToUse},
                     sep("N18", Hidden),
                     {u"&A propos", "HelpAboutItem", u"Informations sur le programme, la version", None,
                      &F::HelpAboutItemClick},
             }},
    };
}

} // namespace

void TMainForm::buildMenus()
{
    for (const MenuDef &m : menuTable()) {
        QMenu *menu = menuBar()->addMenu(QString::fromUtf16(m.caption));
        menu->setObjectName(QString::fromLatin1(m.component));
        menu->setProperty("helpContext", m.helpContext);
        menu->menuAction()->setObjectName(QString::fromLatin1(m.component));
        menu->menuAction()->setStatusTip(hint::longPart(QString::fromUtf16(m.hint)));
        menu->installEventFilter(this);
        m_actions.insert(QString::fromLatin1(m.component), menu->menuAction());
        if (QString::fromLatin1(m.component) == u"Window1")
            m_windowMenu = menu;
        QMenu *target = menu;
        for (const ItemDef &it : m.items) {
            const QString name = QString::fromLatin1(it.component);
            QAction *a = nullptr;
            if (it.flags & Separator) {
                a = target->addSeparator();
            } else if (it.flags & SubmenuBegin) {
                QMenu *sub = target->addMenu(QString::fromUtf16(it.caption));
                sub->setProperty("helpContext", m.helpContext);
                sub->installEventFilter(this);
                a = sub->menuAction();
                target = sub;
            } else {
                a = target->addAction(QString::fromUtf16(it.caption));
                if (it.handler)
                    connect(a, &QAction::triggered, this, it.handler);
                if (!(it.flags & Hidden) && !it.shortcut.isEmpty())
                    a->setShortcuts(shortcutKeys(it.shortcut, it.standard));
            }
            a->setObjectName(name);
            const QString h = QString::fromUtf16(it.hint);
            a->setStatusTip(hint::longPart(h));
            a->setToolTip(hint::shortPart(h));
            a->setCheckable(it.flags & Checkable);
            a->setChecked(it.flags & Checked);
            a->setVisible(!(it.flags & Hidden));
            m_actions.insert(name, a);
            if (it.flags & SubmenuEnd)
                target = menu;
        }
    }
    // The window list follows the four arrangement commands.
    connect(m_windowMenu, &QMenu::aboutToShow, this, &TMainForm::rebuildWindowList);
    // The freeze ticks show the sheet's own state when the menu opens (a file may bring its
    // frozen panes, another sheet have none), so that the command does what its tick says.
    if (QMenu *sheetMenu = m_actions.value(QStringLiteral("Tableur3"))->menu())
        connect(sheetMenu, &QMenu::aboutToShow, this, [this] {
            if (auto *s = reach<TableurCommands>(SheetBit)) {
                m_actions.value(QStringLiteral("Figerlignes1"))->setChecked(s->hasFrozen(true));
                m_actions.value(QStringLiteral("Figercolonnes1"))->setChecked(s->hasFrozen(false));
            }
        });
}

QToolButton *TMainForm::addToolButton(const QString &component, const QString &hintText, bool checkable)
{
    auto *b = new QToolButton(this);
    b->setObjectName(component);
    b->setAutoRaise(true);
    b->setFixedSize(25, 25);
    b->setIconSize(QSize(16, 16));
    b->setIcon(toolbaricons::icon(component));
    b->setCheckable(checkable);
    b->setToolTip(hint::shortPart(hintText));
    b->setStatusTip(hint::longPart(hintText));
    b->setAccessibleName(hint::shortPart(hintText).isEmpty() ? component : hint::shortPart(hintText));
    b->setFocusPolicy(Qt::NoFocus);
    m_controls.insert(component, b);
    return b;
}

void TMainForm::buildToolBar()
{
    QToolBar *bar = addToolBar(QStringLiteral("Outils"));
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setFixedHeight(33);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);

    struct Btn
    {
        const char *name;
        const char16_t *hint;
        void (TMainForm::*handler)();
        bool checkable;
        bool sepAfter;
    };
    const Btn first[] = {
            {"OpenBtn", u"Ouvrir|", &TMainForm::FileOpenItemClick, false, false},
            {"SaveBtn", u"Enregistrer|", &TMainForm::FileSaveItemClick, false, true},
            {"SpeedButton1", u"Annuler", &TMainForm::Annuler1Click, false, false},
            {"CutBtn", u"Couper", &TMainForm::CutItemClick, false, false},
            {"CopyBtn", u"Copier", &TMainForm::CopyItemClick, false, false},
            {"PasteBtn", u"Coller", &TMainForm::PasteItemClick, false, true},
            {"SpeedButton9", u"Imprimer", &TMainForm::Imprimer2, false, false},
    };
    for (const Btn &b : first) {
        QToolButton *tb = addToolButton(QString::fromLatin1(b.name), QString::fromUtf16(b.hint), b.checkable);
        connect(tb, &QToolButton::clicked, this, b.handler);
        bar->addWidget(tb);
        if (b.sepAfter)
            bar->addSeparator();
    }
    auto *gap = new QWidget(this); // the toolbar leaves room before the font box
    gap->setFixedWidth(14);
    bar->addWidget(gap);

    m_comboBox1 = new QComboBox(this);
    m_comboBox1->setObjectName(QStringLiteral("ComboBox1"));
    m_comboBox1->setEditable(true);
    m_comboBox1->setInsertPolicy(QComboBox::NoInsert);
    m_comboBox1->setFixedWidth(185);
    m_comboBox1->setFocusPolicy(Qt::ClickFocus); // skipped by Tab
    m_comboBox1->setEditText(QStringLiteral("Times new Roman"));
    m_comboBox1->setAccessibleName(QStringLiteral("Police"));
    m_comboBox1->setToolTip(QStringLiteral("Police"));
    // A family picked from the list applies at once; a typed name applies as soon as it
    // names an installed family, otherwise on Enter or on leaving the box. Texts the program
    // sets (SetStyles) are never sent back.
    connect(m_comboBox1, &QComboBox::activated, this, [this] {
        m_fontTyped = false;
        ComboBox1Change();
    });
    connect(m_comboBox1->lineEdit(), &QLineEdit::textEdited, this, [this](const QString &text) {
        m_fontTyped = m_comboBox1->findText(text.trimmed(), Qt::MatchFixedString) < 0;
        if (!m_fontTyped)
            ComboBox1Change();
    });
    connect(m_comboBox1->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        if (std::exchange(m_fontTyped, false))
            ComboBox1Change();
    });
    bar->addWidget(m_comboBox1);
    m_controls.insert(QStringLiteral("ComboBox1"), m_comboBox1);

    m_spinEdit1 = new SpinEdit(this);
    m_spinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    m_spinEdit1->setRange(4, 100);
    m_spinEdit1->setValue(10);
    m_spinEdit1->setFixedWidth(55);
    m_spinEdit1->setFocusPolicy(Qt::ClickFocus);
    m_spinEdit1->setAccessibleName(QStringLiteral("Taille"));
    m_spinEdit1->setToolTip(QStringLiteral("Taille"));
    // A typed size applies as soon as it is a size within the bounds ("1" on the way to
    // "12" is not), the rest on Enter or on leaving the box; the arrows apply at once.
    connect(m_spinEdit1, &SpinEdit::typed, this, [this] {
        m_sizeTyped = !m_spinEdit1->typedValueInRange();
        if (!m_sizeTyped)
            SpinEdit1Change();
    });
    connect(m_spinEdit1, &SpinEdit::stepped, this, [this] {
        m_sizeTyped = false;
        SpinEdit1Change();
    });
    connect(m_spinEdit1, &QAbstractSpinBox::editingFinished, this, [this] {
        if (std::exchange(m_sizeTyped, false))
            SpinEdit1Change();
    });
    bar->addWidget(m_spinEdit1);
    m_controls.insert(QStringLiteral("SpinEdit1"), m_spinEdit1);

    const Btn styles[] = {
            {"BoldButton", u"Gras", &TMainForm::BoldButtonClick, true, false},
            {"ItalButton", u"Italique", &TMainForm::ItalButtonClick, true, false},
            {"UnderButton", u"Souligné", &TMainForm::UnderButtonClick, true, false},
            {"LeftButton", u"Gauche", &TMainForm::LeftButtonClick, true, false},
            {"CenterButton", u"Centre", &TMainForm::CenterButtonClick, true, false},
            {"RightButton", u"Droite", &TMainForm::RightButtonClick, true, true},
            {"SumButton", u"Somme", &TMainForm::SumButtonClick, false, false},
            {"EnvButton", u"Enveloppe", &TMainForm::Enveloppes1Click, false, false},
    };
    m_alignGroup = new QButtonGroup(this);
    m_alignGroup->setExclusive(true);
    for (const Btn &b : styles) {
        const QString name = QString::fromLatin1(b.name);
        QToolButton *tb = addToolButton(name, QString::fromUtf16(b.hint), b.checkable);
        connect(tb, &QToolButton::clicked, this, b.handler);
        if (name == u"LeftButton" || name == u"CenterButton" || name == u"RightButton")
            m_alignGroup->addButton(tb);
        bar->addWidget(tb);
        if (b.sepAfter)
            bar->addSeparator();
    }
    static_cast<QToolButton *>(m_controls.value(QStringLiteral("LeftButton")))->setChecked(true);

    // Ctrl+B, Ctrl+I and Ctrl+U press the style buttons, on the text and on cells alike.
    const std::pair<const char *, QKeySequence::StandardKey> styleKeys[] = {{"BoldButton", QKeySequence::Bold},
                                                                            {"ItalButton", QKeySequence::Italic},
                                                                            {"UnderButton", QKeySequence::Underline}};
    for (const auto &[name, standard] : styleKeys) {
        auto *b = static_cast<QToolButton *>(m_controls.value(QString::fromLatin1(name)));
        auto *press = new QAction(this);
        press->setObjectName(QString::fromLatin1(name) + QStringLiteral("Key"));
        press->setShortcuts(QKeySequence::keyBindings(standard));
        press->setShortcutContext(Qt::WindowShortcut);
        connect(press, &QAction::triggered, b, [b] {
            if (b->isEnabled())
                b->click();
        });
        addAction(press);
        b->setToolTip(
                QStringLiteral("%1 (%2)").arg(b->toolTip(), press->shortcut().toString(QKeySequence::NativeText)));
    }
}

void TMainForm::buildStatusBar()
{
    QFont f(fonts::uiFamily());
    f.setPixelSize(12);
    statusBar()->setFont(f);
    statusBar()->setSizeGripEnabled(false);
    m_panel0 = new QLabel(this);
    m_panel0->setObjectName(QStringLiteral("Panel0"));
    m_panel0->setAccessibleDescription(QStringLiteral("Panel0"));
    m_panel0->setFixedWidth(50);
    m_panel0->setFrameShape(QFrame::Panel);
    m_panel0->setFrameShadow(QFrame::Sunken);
    m_panel1 = new QLabel(this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setAccessibleDescription(QStringLiteral("Panel1"));
    m_panel1->setFrameShape(QFrame::Panel);
    m_panel1->setFrameShadow(QFrame::Sunken);
    statusBar()->addWidget(m_panel0);
    statusBar()->addWidget(m_panel1, 1);
}
