#pragma once

// pellucor --pedals: lists the pedals found, their ids and whether they can be read, then shows
// each press until Ctrl+C. Without a pedal it says so and waits for one to be plugged in.
int runPedalListing(int argc, char** argv);
