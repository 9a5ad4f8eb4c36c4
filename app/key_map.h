// The keyboard command map: the ordered rows that a key-down runs through.
#pragma once

class FrontPanel;

// Runs the key in keyCode through the map, row by row, until a row that
// applies to it ends its handling.
void runKeyMap(FrontPanel& panel);
