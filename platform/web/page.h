#pragma once
// The program inside a web page: what the page's own HTML around the window (its toolbar, its live
// region, its end screen) learns from the window and asks of it. The page's side is web/page.js,
// which defines the global object `perumoraPage` before the program starts.

class RiloForm;

// The face made for the web build from the program's own texts, put into the file system by the
// page before the program starts: the application's font and the fallback of Japanese script, so
// that standard dialogs show Japanese too. Does nothing when the page brought no face.
void UseTravellingFont();

// Ties the window to the page: the window filling the page's program area at every size and
// device-pixel ratio, the toolbar's commands, the canvas's words for the live region, the end of
// the program. Leaves out what the page does itself (full screen).
void ConnectToPage(RiloForm& form);
