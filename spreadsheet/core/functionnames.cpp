// The French names of the functions, as the French editions of the common spreadsheets
// call them. Formulas typed in the window accept them (and the English names); the window
// shows them; files keep the English names of OpenFormula.
#include "spreadsheet/core/functionregistry.h"

namespace sheet {

const std::vector<std::pair<QString, QString>> &FunctionRegistry::frenchNames()
{
    static const std::vector<std::pair<QString, QString>> table{
        {"ABS", "ABS"}, {"ACOS", "ACOS"}, {"ACOSH", "ACOSH"}, {"AND", "ET"}, {"ASIN", "ASIN"},
        {"ASINH", "ASINH"}, {"ATAN", "ATAN"}, {"ATAN2", "ATAN2"}, {"ATANH", "ATANH"},
        {"AVERAGE", "MOYENNE"}, {"CEILING", "PLAFOND"}, {"CHAR", "CAR"}, {"CHOOSE", "CHOISIR"},
        {"CLEAN", "EPURAGE"}, {"CODE", "CODE"}, {"COLUMN", "COLONNE"}, {"COLUMNS", "COLONNES"},
        {"CONCATENATE", "CONCATENER"}, {"COS", "COS"}, {"COSH", "COSH"}, {"COUNT", "NB"},
        {"COUNTA", "NBVAL"}, {"COUNTIF", "NB.SI"}, {"DATE", "DATE"}, {"DATEVALUE", "DATEVAL"},
        {"DAY", "JOUR"}, {"DB", "DB"}, {"DDB", "DDB"}, {"ERROR.TYPE", "TYPE.ERREUR"},
        {"EVEN", "PAIR"}, {"EXACT", "EXACT"}, {"EXP", "EXP"}, {"FACT", "FACT"}, {"FALSE", "FAUX"},
        {"FIND", "TROUVE"}, {"FIXED", "CTXT"}, {"FLOOR", "PLANCHER"}, {"FV", "VC"},
        {"HLOOKUP", "RECHERCHEH"}, {"HOUR", "HEURE"}, {"IF", "SI"}, {"INDEX", "INDEX"},
        {"INDIRECT", "INDIRECT"}, {"INT", "ENT"}, {"IPMT", "INTPER"}, {"IRR", "TRI"},
        {"ISBLANK", "ESTVIDE"}, {"ISERR", "ESTERR"}, {"ISERROR", "ESTERREUR"},
        {"ISLOGICAL", "ESTLOGIQUE"}, {"ISNA", "ESTNA"}, {"ISNONTEXT", "ESTNONTEXTE"},
        {"ISNUMBER", "ESTNUM"}, {"ISREF", "ESTREF"}, {"ISTEXT", "ESTTEXTE"}, {"LEFT", "GAUCHE"},
        {"LEN", "NBCAR"}, {"LN", "LN"}, {"LOG", "LOG"}, {"LOG10", "LOG10"}, {"LOOKUP", "RECHERCHE"},
        {"LOWER", "MINUSCULE"}, {"MATCH", "EQUIV"}, {"MAX", "MAX"}, {"MID", "STXT"}, {"MIN", "MIN"},
        {"MINUTE", "MINUTE"}, {"MIRR", "TRIM"}, {"MOD", "MOD"}, {"MONTH", "MOIS"}, {"N", "N"},
        {"NOT", "NON"}, {"NOW", "MAINTENANT"}, {"NPER", "NPM"}, {"NPV", "VAN"}, {"ODD", "IMPAIR"},
        {"OFFSET", "DECALER"}, {"OR", "OU"}, {"PI", "PI"}, {"PMT", "VPM"}, {"PPMT", "PRINCPER"},
        {"PRODUCT", "PRODUIT"}, {"PROPER", "NOMPROPRE"}, {"PV", "VA"}, {"RAND", "ALEA"},
        {"RATE", "TAUX"}, {"REPLACE", "REMPLACER"}, {"REPT", "REPT"}, {"RIGHT", "DROITE"},
        {"ROUND", "ARRONDI"}, {"ROUNDDOWN", "ARRONDI.INF"}, {"ROUNDUP", "ARRONDI.SUP"},
        {"ROW", "LIGNE"}, {"ROWS", "LIGNES"}, {"SEARCH", "CHERCHE"}, {"SECOND", "SECONDE"},
        {"SIGN", "SIGNE"}, {"SIN", "SIN"}, {"SINH", "SINH"}, {"SLN", "AMORLIN"}, {"SQRT", "RACINE"},
        {"STDEV", "ECARTYPE"}, {"STDEVP", "ECARTYPEP"}, {"SUBSTITUTE", "SUBSTITUE"}, {"SUM", "SOMME"},
        {"SUMIF", "SOMME.SI"}, {"SUMSQ", "SOMME.CARRES"}, {"SYD", "SYD"}, {"T", "T"}, {"TAN", "TAN"},
        {"TANH", "TANH"}, {"TEXT", "TEXTE"}, {"TIME", "TEMPS"}, {"TIMEVALUE", "TEMPSVAL"},
        {"TODAY", "AUJOURDHUI"}, {"TRIM", "SUPPRESPACE"}, {"TRUE", "VRAI"}, {"TRUNC", "TRONQUE"},
        {"TYPE", "TYPE"}, {"UPPER", "MAJUSCULE"}, {"VALUE", "CNUM"}, {"VAR", "VAR"}, {"VARP", "VAR.P"},
        {"VDB", "VDB"}, {"VLOOKUP", "RECHERCHEV"}, {"WEEKDAY", "JOURSEM"}, {"YEAR", "ANNEE"},
    };
    return table;
}

} // namespace sheet
