// Printing the document, or its selection, through the hidden rich edit control.
#pragma once

// print.cpp: command 105.
void PrintCommand();
