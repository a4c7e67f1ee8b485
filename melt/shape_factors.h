#pragma once
// Flow of a rectangular channel over its flat-plate value: the drag flow
// under a moving lid and the pressure flow of the closed duct. Both depend
// only on the depth over the width.

struct ShapeFactors {
  double Drag = 0;
  double Pressure = 0;
};

// For a channel `depth` deep and `width` wide, both > 0.
ShapeFactors ChannelShapeFactors(double depth, double width);
