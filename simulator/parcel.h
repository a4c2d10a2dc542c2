#pragma once
// The air parcel on the mountain scene: an ellipse straight above the foot of the mountain that
// climbs 14 pixels and widens by 2 pixels for every 100 m of altitude.

class Canvas;

struct ParcelEllipse {
    float x, y;  // centre, canvas pixels
    float r;     // horizontal half-axis; the vertical one is r * aspect
    float aspect;
};

ParcelEllipse ParcelEllipseAt(double takasa);

// Both refresh the canvas first, so exactly one parcel is ever on the overlay, and leave the fill
// style transparent.
void DrawParcelOutline(Canvas& canvas, double takasa);  // white outline: unsaturated air
void DrawParcelCloud(Canvas& canvas, double takasa);    // white filled: a cloud
