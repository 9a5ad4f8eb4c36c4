// The keyboard command map: the ordered rows that a key-down runs through.
#pragma once

class FrontPanel;

// Runs the key (its virtual-key code) through the map, row by row, until a
// row that applies to it ends its handling.
void runKeyMap(FrontPanel& panel, int code);
