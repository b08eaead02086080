#pragma once

// The player commands every control surface issues. Each reads the DVD
// control's domain, decides, and calls the control; none takes an argument
// or returns a result.
namespace Functions {

void PlayDisc();
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

// Tells the user why an operation is refused in the current domain.
void CallDomain();

} // namespace Functions
