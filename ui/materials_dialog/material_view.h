// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A material record as the materials window shows it: its values with
// units and quality, what the melting point is, the fit window and the
// source law, the reference run, sources and notes.

#include <QString>

#include "materials/material.h"

QString MaterialRecordHtml(const Material& material);
