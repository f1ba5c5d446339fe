#pragma once
// Identifiers shared by the resource script and the code.

#define IDI_OMNITAP 1
#define IDI_OMNITAP_GREYED 2 // the tray icon while the keys do nothing
