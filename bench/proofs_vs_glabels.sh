#!/usr/bin/env bash
# Proofs of a 1,000-row data run beside gLabels' batch merge of a comparable document: a
# 40 x 25 mm label with a text and a Code 128 filled from two CSV columns, one label a page.
# Whole processes, start-up included, with their peak memory. gLabels (Debian glabels) is
# needed for the comparison only; without it only our own figures are printed.
# usage: bench/proofs_vs_glabels.sh [path/to/tavrin-label] [ROWS]
set -euo pipefail
tavrin=$(realpath "${1:-build/src/cli/tavrin-label}")
rows=${2:-1000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TAVRIN_DATA_DIR=${TAVRIN_DATA_DIR:-$(dirname "$0")/../data}

# The label, written as the printer's form text and read in: variables Name and Code, the
# text in font 3, Code 128 two dots narrow and 100 dots high.
printf 'V00,16,L,"Name"\r\nV01,16,L,"Code"\r\nQ200,24\r\nq320\r\nA16,12,0,3,1,1,N,V00\r\nB16,60,0,1,2,4,100,B,V01\r\n' \
  > "$work/proof.ejf"
"$tavrin" import-form "$work/proof.ejf" -o "$work/proof.qlb" >/dev/null
{ echo "Name,Code"; for i in $(seq 1 "$rows"); do echo "Item $i,TL-$((100000 + i))"; done; } > "$work/rows.csv"

cat > "$work/proof.glabels" <<EOF
<?xml version="1.0"?>
<Glabels-document xmlns="http://glabels.org/xmlns/3.0/">
  <Template brand="User" part="Proof" size="Other" width="40mm" height="25mm" description="40 x 25 mm label">
    <Label-rectangle id="0" width="40mm" height="25mm" round="0mm" x_waste="0mm" y_waste="0mm">
      <Markup-margin size="0mm"/>
      <Layout nx="1" ny="1" x0="0mm" y0="0mm" dx="40mm" dy="25mm"/>
    </Label-rectangle>
  </Template>
  <Objects id="0" rotate="False">
    <Object-text x="2mm" y="1.5mm" w="36mm" h="5mm" justify="Left" valign="Top" auto_shrink="False"
                 a0="1" a1="0" a2="0" a3="1" a4="0" a5="0">
      <Span font_family="DejaVu Sans" font_size="10" font_weight="Normal" font_italic="False" color="0x000000ff"
            line_spacing="1"><Field name="Name"/></Span>
    </Object-text>
    <Object-barcode x="2mm" y="7.5mm" w="36mm" h="15mm" backend="gnu-barcode" style="Code128" text="True"
                    checksum="True" color="0x000000ff" field="Code" a0="1" a1="0" a2="0" a3="1" a4="0" a5="0"/>
  </Objects>
  <Merge type="Text/Comma/Line1Keys" src="$work/rows.csv"/>
</Glabels-document>
EOF

mkdir "$work/png"
for run in 1 2 3; do
  /usr/bin/time -f "tavrin-label PDF     %e s wall  %M KB peak" \
    "$tavrin" render "$work/proof.qlb" --data "$work/rows.csv" -o "$work/ours.pdf"
  /usr/bin/time -f "tavrin-label PNGs    %e s wall  %M KB peak" \
    "$tavrin" render "$work/proof.qlb" --data "$work/rows.csv" --print -o "$work/png/label-%04d.png"
  if command -v glabels-3-batch >/dev/null; then
    # Its chatter is dropped, the figures of time kept.
    /usr/bin/time -f "glabels-3-batch PDF  %e s wall  %M KB peak" \
      sh -c 'exec glabels-3-batch -o "$1" "$2" >/dev/null 2>&1' _ "$work/glabels.pdf" "$work/proof.glabels"
  fi
done
echo "pages: ours $(pdfinfo "$work/ours.pdf" | awk '/^Pages:/ {print $2}')," \
     "gLabels $( [ -f "$work/glabels.pdf" ] && pdfinfo "$work/glabels.pdf" | awk '/^Pages:/ {print $2}' || echo -)," \
     "images $(ls "$work/png" | wc -l)"
