#!/bin/sh
# Writes the land polygons of the sample charts' areas (<code>.txt beside this script) from the
# GSHHG shorelines that GMT reads. Run by hand only when an area changes: building needs neither
# GMT nor GSHHG (apt-get install gmt gmt-gshhg-high).
#
# The land of each area (shoreline level 1, islands included, lakes left out) is rasterised at
# 0.001 degree (about a third of a chart pixel), its edge traced as closed contours (the grid's
# rim is set to water, so that land cut by the chart's edge closes just outside it), simplified
# to 0.001 degree and written with four decimals. Rings smaller than about two chart pixels are
# dropped.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" # GMT leaves its history file in the working folder

# code west east south north: the chart's corners with a margin of about 10 pixels.
while read -r code west east south north; do
    gmt grdlandmask -R"$west/$east/$south/$north" -I0.001 -Dh -A0/1/1 -N0/1 -G"$work/mask.nc"
    gmt grdmath "$work/mask.nc" X "$west" 0.005 ADD GT MUL X "$east" 0.005 SUB LT MUL \
        Y "$south" 0.005 ADD GT MUL Y "$north" 0.005 SUB LT MUL = "$work/rim.nc"
    # An area of open sea has no edge to trace.
    : >"$work/simple.txt"
    gmt grdcontour "$work/rim.nc" -C+0.5 -D"$work/edge.txt"
    if [ -s "$work/edge.txt" ]; then gmt simplify "$work/edge.txt" -T0.001d >"$work/simple.txt"; fi
    awk -v code="$code" '
        function flush(   i, a) {
            if (n < 4) return
            a = 0
            for (i = 1; i < n; ++i) a += x[i] * y[i + 1] - x[i + 1] * y[i]
            if (a < 0) a = -a
            if (a / 2 < 2 * 0.0028 * 0.0028) return
            print ">"
            for (i = 1; i <= n; ++i) printf "%.4f %.4f\n", x[i], y[i]
        }
        BEGIN {
            print "# Land of chart area " code ": closed rings of longitude latitude (degrees),"
            print "# from GSHHG (high resolution), LGPL; see README.md beside this file."
        }
        /^>/ { flush(); n = 0; next }
        /^#/ { next }
        { ++n; x[n] = $1; y[n] = $2 }
        END { flush() }
    ' "$work/simple.txt" >"$here/$code.txt"
done <<AREAS
ne01 -71.12 -68.13 41.16 43.42
ne07 -73.58 -70.59 37.90 40.27
ma05 -79.51 -76.53 31.63 34.18
fl01 -81.59 -78.61 28.68 31.30
fl10 -84.60 -81.61 24.69 27.41
AREAS
