// What the player must be told, where the player can see it.
//
// POSIX (player_message_posix.cpp): the text on standard output or standard error. Windows
// (player_message_win32.cpp): a GUI program's standard streams lead nowhere unless they were
// redirected, so the text goes to its stream only when that leads somewhere; otherwise an answer
// to the command line goes to the console of the program that started the game, attached for
// this call only (a game that kept it would die with that terminal), and whatever finds no
// console is shown in a message box captioned "Kestrilon", which waits for the player's OK.
//
// Any thread. The text is UTF-8, its lines end in "\n"; on a stream, standard error's text is
// prefixed with "kestrilon: ".
#pragma once

#include <string_view>

namespace platform {

enum class PlayerMessage {
    answer,     // asked for on the command line (help, version): standard output
    usageError, // a command line the game cannot follow: standard error
    problem,    // what the player must know as the game goes on or ends: standard error, never
                // a console
};

void tellPlayer(PlayerMessage kind, std::string_view text);

} // namespace platform
