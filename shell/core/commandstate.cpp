#include "shell/core/commandstate.h"

#include <QHash>

namespace commandstate {
namespace {

struct Rule
{
    unsigned served; // kinds the command acts on
    bool needsBase = false; // also needs an open database (the mail merge reads one)
};

const QHash<QString, Rule> &table()
{
    static const QHash<QString, Rule> t = [] {
        QHash<QString, Rule> h;
        auto put = [&h](Rule r, std::initializer_list<const char *> names) {
            for (const char *n : names)
                h.insert(QString::fromLatin1(n), r);
        };
        put({AllKinds},
            {"FileCloseItem", "FileSaveItem", "FileSaveAsItem", "CutItem", "CopyItem", "PasteItem", "SaveBtn", "CutBtn",
             "CopyBtn", "PasteBtn", "WindowCascadeItem", "WindowTileItem", "WindowArrangeItem", "WindowMinimizeItem"});
        // The agenda window prints nothing.
        put({TextBit | SheetBit | BaseBit}, {"SpeedButton9", "Imprimer1"});
        put({SheetBit | BaseBit}, {"Insrerligne1", "Insrercolonne1", "Supprimerligne1", "Supprimercolonne1"});
        put({TextBit | SheetBit | BaseBit}, {"Chercher1", "Continuer1", "Remplacer1"});
        put({TextBit | SheetBit},
            {"Police1", "BoldButton", "ItalButton", "UnderButton", "LeftButton", "RightButton", "CenterButton",
             "Toutslectionner1", "Annuler1", "Retablir1", "SpeedButton1", "Aperuavantimpression1"});
        put({TextBit},
            {"Dateheure1", "Changerlacasse1", "Caractresspciaux1", "Enveloppes1", "EnvButton", "Tabulations1",
             "Glossaire1", "Puces1", "Statistiques1", "Voircodesrtf1", "EnregistrerauformatHTML1", "Paragraphe1",
             "Miseenpage1", "Importer1", "Champbasededonne1"});
        put({SheetBit}, {"Nombre1"});
        put({SheetBit},
            {"SumButton", "Recalculermaintenant1", "Ajustementautomatique1", "Figerlignes1", "Figercolonnes1",
             "Onglets1", "Montrerlesformules1", "Montrerlagrille1", "Fonctions1", "Largeurcolonne1", "Hauteurligne1",
             "Trier2", "Graphique1"});
        put({BaseBit}, {"Champs1", "Liste1", "Fiche1", "Trier1", "Enveloppes2"});
        put({AgendaBit}, {"Journe1", "Grouper1", "Supprimertendue1", "Journe2", "Semaine1"});
        put({TextBit, true}, {"Publipostage1"});
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
    unsigned open = 0;
    if (c.textes > 0)
        open |= TextBit;
    if (c.tableurs > 0)
        open |= SheetBit;
    if (c.fichiers > 0)
        open |= BaseBit;
    if (c.agendas > 0)
        open |= AgendaBit;
    if (it->needsBase && !(open & BaseBit))
        return false;
    return (open & it->served) != 0;
}

QStringList governedComponents()
{
    QStringList names = table().keys();
    names.sort();
    return names;
}

unsigned servedKinds(const QString &component)
{
    const auto it = table().constFind(component);
    return it == table().constEnd() ? 0 : it->served;
}

int reachedWindow(const QList<int> &recentKinds, unsigned served)
{
    // The active window comes first, so it wins whenever it is of a served kind.
    for (int i = 0; i < recentKinds.size(); ++i)
        if (served & kindBit(recentKinds[i]))
            return i;
    return -1;
}

} // namespace commandstate
