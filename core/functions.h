#pragma once

#include <QString>

// The player commands every control surface issues. Each reads the DVD
// control's domain, decides, and calls the control; none takes an argument
// or returns a result.
namespace Functions
{

void PlayDisc();
// The play command's report of a failed Play, also for one the control
// finished after Play had returned (the drive was still reading the disc).
void ReportPlayFailure(int number, const QString &description);
void StopDisc();
void NextChapter();
void PreviousChapter();

void ShowRootMenu();
void ShowTitleMenu();
void ShowAudioMenu();
void ShowAngleMenu();
void ShowChapterMenu();
void ShowSubpictureMenu();
void ResumeFromMenu();

void MenuLeft();
void MenuRight();
void MenuUp();
void MenuDown();
void MenuActivate();

// Tells the user why an operation is refused in the current domain; shows
// nothing outside domains 1 to 5. Throws AppError when the domain cannot be
// read, so that each caller handles that as its own failure.
void CallDomain();

// The refusal text for a domain, empty outside 1 to 5.
QString domainRefusal(int domain);

} // namespace Functions
