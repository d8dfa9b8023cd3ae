#pragma once

#include <QStringList>

class QWidget;

// What the program does with its command line (after Qt has taken its own
// options out):
//   orvandel                        the opening screen
//   orvandel FILE                   the structure editor on FILE, a structure
//                                   file or a blinds.dat, as "Open…" would
//   orvandel --pdf FILE OUT.pdf     the printed sheet of FILE as a PDF, no
//                                   window (see main.cpp)
namespace orvandel {

// Shows the first window for `arguments`: the opening screen, or the editor
// on a file (a file it refuses is said in a message box, and the editor
// shows what it would without it). Null for arguments it does not take,
// after saying so on stderr.
QWidget *showFirstWindow(const QStringList &arguments);

// `--pdf`'s work on its two arguments: 0 when the PDF is written, otherwise
// a message on stderr and a non-zero status.
int writeSheetCommand(const QStringList &arguments);

} // namespace orvandel
