// The terminal front end's own words, in the three languages of the dialogs. Written for a
// terminal: keys that are typed, not held, and no windows.
#pragma once

#include "ui/Language.h"

namespace ui::console::texts {

inline constexpr Words kKeepsValue{"(Enter keeps the value in brackets",
                                   "(Enter beholder verdien i hakeparentes",
                                   "(Enter held på verdien i hakeparentes"};
inline constexpr Words kActionKey{"; h at any prompt: {1}; \\h types an h",
                                  "; h ved hver ledetekst: {1}; \\h skriver en h",
                                  "; h ved kvar ledetekst: {1}; \\h skriv ein h"};
inline constexpr Words kComboHint{"(a number picks an entry, other text is taken as typed)",
                                  "(et tall velger en oppføring, annen tekst tas som skrevet)",
                                  "(eit tal vel ei oppføring, anna tekst vert teken som skriven)"};
inline constexpr Words kManyEntries{
    "{1} entries: type the start of one and ? to list those, or ? alone for all",
    "{1} oppføringer: skriv starten av en og ? for å liste dem, eller bare ? for alle",
    "{1} oppføringar: skriv starten av ei og ? for å liste dei, eller berre ? for alle"};
inline constexpr Words kListOnRequest{
    "(? lists the entries, a start and ? those that begin so)",
    "(? lister oppføringene, en start og ? dem som begynner slik)",
    "(? listar oppføringane, ein start og ? dei som byrjar slik)"};
inline constexpr Words kNoneStartsSo{"No entry begins with \"{1}\".",
                                     "Ingen oppføring begynner med «{1}».",
                                     "Inga oppføring byrjar med «{1}»."};
inline constexpr Words kNoEntry{"No entry {1} (1 to {2}; \\{3} takes the text as typed).",
                                "Ingen oppføring {1} (1 til {2}; \\{3} tar teksten som skrevet).",
                                "Inga oppføring {1} (1 til {2}; \\{3} tek teksten som skriven)."};
inline constexpr Words kChooseRange{"Choose 1 to {1}, or type an entry as it is listed.",
                                    "Velg 1 til {1}, eller skriv en oppføring slik den står.",
                                    "Vel 1 til {1}, eller skriv ei oppføring slik ho står."};
inline constexpr Words kConfirm{
    "Enter = {1}, ! = {1} without recording it in the history, e = edit",
    "Enter = {1}, ! = {1} uten å lagre det i historikken, e = endre",
    "Enter = {1}, ! = {1} utan å lagre det i historikken, e = endre"};
inline constexpr Words kConfirmInvalid{"Answer with Enter, !, e{1} or c.",
                                       "Svar med Enter, !, e{1} eller c.",
                                       "Svar med Enter, !, e{1} eller c."};
inline constexpr Words kOrExtra{", a number from 1 to {1}", ", et tall fra 1 til {1}",
                                ", eit tal frå 1 til {1}"};
inline constexpr Words kMenuTitle{"Menu", "Meny", "Meny"};
inline constexpr Words kNothingToChoose{"  (nothing to choose)", "  (ingenting å velge)",
                                        "  (ingenting å velje)"};
inline constexpr Words kMenuChoose{
    "Choose 1 to {1} (! before the number fills in the fields only), Enter = none: ",
    "Velg 1 til {1} (! foran tallet fyller bare ut feltene), Enter = ingen: ",
    "Vel 1 til {1} (! framfor talet fyller berre ut felta), Enter = ingen: "};
inline constexpr Words kMenuInvalid{"Choose a number from 1 to {1}, or Enter for none.",
                                    "Velg et tall fra 1 til {1}, eller Enter for ingen.",
                                    "Vel eit tal frå 1 til {1}, eller Enter for ingen."};
inline constexpr Words kQuit{"  q) quit", "  q) avslutt", "  q) avslutt"};
inline constexpr Words kChoose{"Choose: ", "Velg: ", "Vel: "};
inline constexpr Words kMainInvalid{"Choose a number from 1 to {1}, or q to quit.",
                                    "Velg et tall fra 1 til {1}, eller q for å avslutte.",
                                    "Vel eit tal frå 1 til {1}, eller q for å avslutte."};
inline constexpr Words kYesNo{"[y/n] ", "[j/n] ", "[j/n] "};
inline constexpr Words kYesNoInvalid{"Answer y (yes) or n (no).", "Svar j (ja) eller n (nei).",
                                     "Svar j (ja) eller n (nei)."};

}  // namespace ui::console::texts
