// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/materials_dialog/material_view.h"

#include <QStringList>

#include "materials/material_library.h"
#include "ui/common/shown_numbers.h"
#include "ui/common/material_text.h"

namespace {

QString Escaped(const std::string& text) { return QString::fromStdString(text).toHtmlEscaped(); }
QString Number(double value) { return ShownFullNumber(value); }

QString SourceLawText(const SourceViscosityLaw& law) {
  switch (law.Kind) {
    case SourceLawKind::CrossWlf:
      return QStringLiteral("Cross-WLF: n %1, tau* %2 Pa, D1 %3 Pa.s, D2 %4 K, A1 %5, A2 %6 K")
          .arg(Number(law.N), Number(law.TauStar), Number(law.D1), Number(law.D2), Number(law.A1), Number(law.A2));
    case SourceLawKind::CrossArrhenius:
      return QStringLiteral("Cross law with an Arrhenius zero-shear viscosity: n %1, tau* %2 Pa, B %3 Pa.s, Tb %4 K")
          .arg(Number(law.N), Number(law.TauStar), Number(law.B), Number(law.Tb));
    case SourceLawKind::PowerLaw:
      return QStringLiteral("Power law: K %1 Pa.s^n, beta %2 1/\u00B0C, n %3").arg(Number(law.K), Number(law.Beta), Number(law.N));
  }
  return {};
}

}  // namespace

QString MaterialRecordHtml(const Material& material) {
  QString html = QStringLiteral("<h3>%1</h3><p>Key %2 (%3, %4)")
                     .arg(Escaped(MaterialDisplayName(material)), Escaped(material.Key),
                          QString::fromLatin1(MaterialOriginText(material.Origin)),
                          QString::fromLatin1(PolymerClassText(material.Class)));
  if (!material.Grade.empty()) html += QStringLiteral("; grade %1").arg(Escaped(material.Grade));
  if (!material.Supplier.empty()) html += QStringLiteral("; supplier %1").arg(Escaped(material.Supplier));
  if (!material.Path.empty()) html += QStringLiteral("<br>File %1").arg(Escaped(material.Path));
  html += QStringLiteral("</p><table><tr><th align=left>Value</th><th align=right>&nbsp;</th><th align=left>Unit</th>"
                         "<th>Quality</th></tr>");
  for (int k = 0; k < MaterialValueCount; ++k) {
    const auto value = static_cast<MaterialValue>(k);
    const char* unit = k == 0 && material.M0Unit == ViscosityUnit::PaS ? PascalM0Unit : MaterialValueNames[static_cast<size_t>(k)].Unit;
    html += QStringLiteral("<tr><td>%1</td><td align=right>&nbsp;%2&nbsp;</td><td>%3</td><td align=center>%4</td></tr>")
                .arg(QString::fromLatin1(MaterialValueNames[static_cast<size_t>(k)].Name), Number(material.Value(value)),
                     QString::fromUtf8(unit).toHtmlEscaped(),
                     QString::fromLatin1(QualityText(material.Quality[static_cast<size_t>(QualityGroupOf(value))])));
  }
  html += QStringLiteral("</table><p>Melting point: %1<br>Typical barrel temperature %2 \u00B0C<br>"
                         "Viscosity law fitted over %3 to %4 \u00B0C and %5 to %6 1/s")
              .arg(Escaped(material.MeltingPointKind.empty() ? std::string("not said") : material.MeltingPointKind),
                   Number(material.TypicalBarrelTemp), Number(material.Fit.Temperature.Low),
                   Number(material.Fit.Temperature.High), Number(material.Fit.ShearRate.Low),
                   Number(material.Fit.ShearRate.High));
  if (material.Fit.RmsPercent)
    html += QStringLiteral(", rms error %1 %").arg(Number(*material.Fit.RmsPercent));
  if (material.Fit.MaxPercent)
    html += QStringLiteral(", largest %1 %").arg(Number(*material.Fit.MaxPercent));
  html += QStringLiteral("</p>");
  if (material.SourceLaw) html += QStringLiteral("<p>Source law: %1</p>").arg(SourceLawText(*material.SourceLaw).toHtmlEscaped());
  if (material.Reference)
    html += QStringLiteral("<p>Reference run: melting ends at turn %1 (%2)</p>")
                .arg(Number(material.Reference->MeltingEndTurn), Escaped(material.Reference->Conditions));
  if (const std::string estimates = EstimatedValues(material); !estimates.empty())
    html += QStringLiteral("<p>Estimates (quality C): %1</p>").arg(Escaped(estimates));
  if (!material.Sources.empty()) {
    html += QStringLiteral("<p>Sources:</p><ul>");
    for (const std::string& source : material.Sources) html += QStringLiteral("<li>%1</li>").arg(Escaped(source));
    html += QStringLiteral("</ul>");
  }
  if (!material.Notes.empty()) html += QStringLiteral("<p>Notes: %1</p>").arg(Escaped(material.Notes));
  html += QStringLiteral("<p><small>%1</small></p>").arg(QString::fromStdString(QualityLettersExplained()).toHtmlEscaped());
  return html;
}
