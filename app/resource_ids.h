// Resource numbers of the program's icons and pictures, shared by the resource script and the code.
#pragma once

// The program icon: the lowest number, so the shell shows it for the program file.
#define IDI_PROGRAM 1
// The tray animation's frames are IDI_FRAME_FIRST + 0 .. IDI_FRAME_FIRST + ICON_FRAME_COUNT - 1;
// the first one is the program icon at rest.
#define IDI_FRAME_FIRST 100
#define ICON_FRAME_COUNT 8

// JPEG pictures (RCDATA): the emblem at the top of the main window and the information window's
// picture.
#define IDR_LOGO 200
#define IDR_INFO_PICTURE 201
