#pragma once
// Registers the common-control classes (tree view, tooltips, ...) once per process; windows
// and dialog templates that name them can be created only afterwards.
void AfxInitCommonControls();
