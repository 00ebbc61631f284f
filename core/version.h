/* The product's version, in one place: the resource script's version record,
   the add-in's name, the About box and the tool's --version.
   Plain #defines only: windres reads this file too. */
#ifndef PELLFORM_VERSION_H
#define PELLFORM_VERSION_H

#define PELLFORM_VERSION_NUMBERS 1, 0, 0, 0
#define PELLFORM_VERSION_DOTTED "1.0.0"
#define PELLFORM_VERSION_NAME "v1.00"
/* As the add-in's name and the About box show it: the name marked with the
   code page byte 0xDF, and the release date. */
#define PELLFORM_VERSION_MARKED PELLFORM_VERSION_NAME "\xDF"
#define PELLFORM_VERSION_LINE PELLFORM_VERSION_MARKED " (03-Sep-03)"

#endif
