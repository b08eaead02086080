#pragma once

#include <QString>

#include <functional>

// The one bookmark, kept by the DVD control: the program only tells it to
// save, restore or delete it.
namespace Bookmarks
{

// The file the control keeps the bookmarks in, in the program's own folder.
QString FilePath();

// Saves the playing position of the title, replacing the earlier bookmark.
void Save();
// Resumes playback at the bookmark.
void Load();
// Deletes the bookmark after a Yes/No question.
void Delete();

// Ends the program at once: every window goes without its close handler or
// question, and the disc stops with them.
void endProgram();

// The program's closing routine: saves the bookmark when the user asked for
// that and a title is playing, then ends the program through endProgram (tests
// pass their own).
void AutoBook(const std::function<void()> &end = &endProgram);

} // namespace Bookmarks
