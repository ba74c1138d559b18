#pragma once

#include "canvas.h"

// Window backdrop, 550 x 304.
void drawFrame(QPainter &p);
// "Un'esclusiva da:" and the web address, 121 x 68.
void drawLink(QPainter &p);
// Close mark, 10 x 10.
void drawClose(QPainter &p);
// Placeholder portrait doodle, 100 x 150.
void drawFaccia(QPainter &p);
// Speech balloon, 335 x 139.
void drawFumetto(QPainter &p);
// Title lettering, 300 x 130.
void drawLogo(QPainter &p);
// Sample colour photo, 100 x 150.
void drawPhoto(QPainter &p);

// 32 x 32 pixel art.
PixelArt iconArt();
PixelArt handArt();
