// The frame's children at the scale of the screen the frame is on: made for
// the scale at creation, made again when the frame moves to a screen of
// another scale or the system's font or colours change.
#pragma once

#include <windows.h>

// The search filter's width on the toolbar at 96 dpi.
const int SEARCH_FILTER_WIDTH = 250;

// Gives the search filter, list and status bar the message font at the dpi,
// the toolbar, the list and the frame the images drawn for it, the filter its
// width, and scales the list's columns from the frame's last dpi
// (app_state->frame_dpi) to this one, which becomes the frame's dpi. Laying
// out the children afterwards is the caller's part.
void scale_frame_children(UINT dpi);
// Deletes the font, toolbar images and icons made for the frame.
void free_frame_scale();
