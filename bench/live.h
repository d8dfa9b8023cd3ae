#pragma once

// The live view under load (live.cpp): the parent's bench and its three
// children.

#include "bench/parent.h"

#include <QtGlobal>

class QString;

namespace bench {

class Report;

// Runs the live view bench and reports its figures.
void liveBench(Report &report, const QString &workDir, const Options &options);

// The clock window in real time feeding a live view; prints "port N", then
// answers the lines on its stdin: "begin NAME" and "end NAME" around a
// phase, "memory NAME", "quit".
int runLiveServer(int argc, char **argv);

// 200 WebSockets on the server's /live; prints "connected" once all are
// open, and on "leave" (stdin) closes them and prints every message heard.
int runLiveViewers(int argc, char **argv, quint16 port);

// For `seconds`: 300 connections that send half a request head, 2,000 a
// minute opened and dropped, WebSockets that never read (2 flooding pings, 50
// sending unasked pongs, 20 silent), and a fresh viewer every 2 s, timed.
int runLiveHostile(int argc, char **argv, quint16 port, int seconds);

} // namespace bench
