#pragma once

// Keeps the system from stopping the program with a box of its own ("There is no disk in the
// drive") when a drive without its medium is read: the program says so in its own words.
void quietDriveErrors();
