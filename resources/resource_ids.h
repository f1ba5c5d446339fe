#pragma once
// Identifiers shared by the resource script and the code.

#define IDI_OMNITAP 1
