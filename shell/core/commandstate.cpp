#include "shell/core/commandstate.h"

#include <QHash>

namespace commandstate {
namespace {

enum class Rule { AnyWindow, TextSheetBase, TextBase, TextSheet, Text, Sheet, Base, Agenda, TextAndBase };

const QHash<QString, Rule> &table()
{
    static const QHash<QString, Rule> t = [] {
        QHash<QString, Rule> h;
        auto put = [&h](Rule r, std::initializer_list<const char *> names) {
            for (const char *n : names)
                h.insert(QString::fromLatin1(n), r);
        };
        put(Rule::AnyWindow, {"FileCloseItem", "FileSaveItem", "FileSaveAsItem", "CutItem", "CopyItem",
                              "PasteItem", "SaveBtn", "CutBtn", "CopyBtn", "PasteBtn", "WindowCascadeItem",
                              "WindowTileItem", "WindowArrangeItem", "WindowMinimizeItem", "SpeedButton9",
                              "Imprimer1"});
        put(Rule::TextSheetBase, {"Insrerligne1", "Insrercolonne1", "Supprimerligne1", "Supprimercolonne1"});
        put(Rule::TextBase, {"Chercher1", "Remplacer1", "Continuer1"});
        put(Rule::TextSheet, {"Police1", "BoldButton", "ItalButton", "UnderButton", "Toutslectionner1"});
        put(Rule::Text, {"Annuler1", "SpeedButton1", "LeftButton", "RightButton", "CenterButton", "Dateheure1",
                         "Changerlacasse1", "Caractresspciaux1", "Enveloppes1", "EnvButton", "Tabulations1",
                         "Glossaire1", "Puces1", "Statistiques1", "Voircodesrtf1", "EnregistrerauformatHTML1",
                         "Paragraphe1", "Miseenpage1", "Importer1", "Champbasededonne1",
                         "Aperuavantimpression1"});
        put(Rule::Sheet, {"SumButton", "Recalculermaintenant1", "Ajustementautomatique1", "Figerlignes1",
                          "Figercolonnes1", "Onglets1", "Montrerlesformules1", "Montrerlagrille1", "Fonctions1",
                          "Largeurcolonne1", "Hauteurligne1", "Trier2", "Graphique1"});
        put(Rule::Base, {"Champs1", "Liste1", "Fiche1", "Trier1", "Enveloppes2"});
        put(Rule::Agenda, {"Journe1", "Grouper1", "Supprimertendue1", "Journe2", "Semaine1"});
        put(Rule::TextAndBase, {"Publipostage1"});
        return h;
    }();
    return t;
}

} // namespace

bool isEnabled(const QString &component, const DocumentCounts &c)
{
    const auto it = table().constFind(component);
    if (it == table().constEnd())
        return true;
    const bool t = c.textes > 0, s = c.tableurs > 0, d = c.fichiers > 0, a = c.agendas > 0;
    switch (*it) {
    case Rule::AnyWindow: return c.windows > 0;
    case Rule::TextSheetBase: return t || s || d;
    case Rule::TextBase: return t || d;
    case Rule::TextSheet: return t || s;
    case Rule::Text: return t;
    case Rule::Sheet: return s;
    case Rule::Base: return d;
    case Rule::Agenda: return a;
    case Rule::TextAndBase: return t && d;
    }
    return true;
}

QStringList governedComponents()
{
    QStringList names = table().keys();
    names.sort();
    return names;
}

} // namespace commandstate
