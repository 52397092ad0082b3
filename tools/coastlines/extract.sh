#!/bin/sh
# Writes the land polygons of the 30 chart areas (<code>.txt beside this script) from the GSHHG
# shorelines that GMT reads; the program builds them in (geo/Coastline.h). Run by hand only when
# an area changes: building needs neither GMT nor GSHHG (apt-get install gmt gmt-gshhg-high).
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

# code west east south north: the chart's corners (pixels 0 and 1023 through the area's
# calibration) with a margin of 20 pixels, to two decimals.
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
ne01 -71.12 -68.13 41.18 43.40
ne02 -69.89 -66.91 41.18 43.40
ne03 -69.89 -66.91 39.23 41.53
ne04 -71.95 -68.96 39.23 41.53
ne05 -72.92 -69.93 39.23 41.53
ne06 -74.83 -71.85 38.62 40.93
ne07 -73.58 -70.59 37.92 40.25
ne08 -75.21 -72.23 37.52 39.86
ne09 -75.66 -72.68 36.73 39.11
ma01 -76.08 -73.10 35.66 38.06
ma02 -76.35 -73.37 34.36 36.82
ma03 -76.63 -73.65 33.09 35.57
ma04 -78.16 -75.18 32.35 34.85
ma05 -79.51 -76.54 31.64 34.17
ma06 -81.05 -78.05 30.83 33.38
ma07 -81.66 -78.68 29.71 32.29
fl01 -81.59 -78.61 28.69 31.29
fl02 -81.27 -78.29 27.00 29.65
fl03 -80.56 -77.57 25.30 27.99
fl04 -78.82 -75.84 25.30 27.99
fl05 -78.60 -75.62 24.04 26.75
fl06 -78.33 -75.35 22.73 25.48
fl07 -81.24 -78.26 23.49 26.21
fl08 -83.07 -80.09 22.71 25.46
fl09 -84.73 -81.74 23.32 26.06
fl10 -84.60 -81.62 24.70 27.40
fl11 -84.91 -81.92 25.93 28.60
fl12 -84.91 -81.92 27.54 30.17
fl13 -86.39 -83.41 27.81 30.43
fl14 -87.86 -84.88 27.95 30.57
AREAS
