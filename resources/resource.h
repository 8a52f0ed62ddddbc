// Identifiers of the resources compiled into the program; shared by the
// resource script and the code.
#pragma once

#define IDI_PROGRAM 1
#define IDI_FOLDER 101
#define IDI_DRIVE 102
#define IDB_INFO 103
#define IDR_DESIGN_FONT 104
