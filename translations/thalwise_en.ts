<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>AnnotatedImage</name>
    <message>
        <location filename="../src/app/AnnotatedImage.cpp" line="+190"/>
        <source>cannot open %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+3"/>
        <source>cannot write %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+78"/>
        <source>no picture to save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+44"/>
        <source>The chart on screen cannot be replaced. Choose another file name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Pictures cannot be saved in the chart archive, where they would be taken for charts. Choose another folder.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ArchiveTidyUp</name>
    <message>
        <location filename="../src/archive/ArchiveTidyUp.cpp" line="+50"/>
        <source>These files in the Chart Archive are older than %1 days.</source>
        <extracomment>&quot;Chart Archive&quot; names the archive folder, which keeps its English name.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Do you want to delete them now?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Charts are kept for ever: &quot;Delete charts after&quot; is set to &quot;Never&quot;, so no chart is old enough to purge. Choose a number of days under Tools &gt; Delete charts after to purge the older charts.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+17"/>
        <source>no trash could be found or made</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the trash cannot be written to</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the disk is full</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>its folder cannot be written to</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>its name is too long for the trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the trash refused it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>These charts could not be moved to the trash and are still in the archive. Do you want to delete them for good? They cannot be restored then.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Delete for good</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Keep them</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/archive/ArchiveTidyUp.h" line="+27"/>
        <source>&amp;Never</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;7 days</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;14 days</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;30 days</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;60 days</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;90 days</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Chart archive tidy-up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Move to trash</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AreaStuff</name>
    <message>
        <location filename="../src/geo/AreaStuff.cpp" line="+16"/>
        <source>North-east area 1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>North-east area 2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>North-east area 3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>North-east area 4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>North-east area 5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>North-east area 6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>North-east area 7</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>North-east area 8</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>North-east area 9</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Mid-altantic area 1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Mid-altantic area 2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Mid-altantic area 3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Mid-altantic area 4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Mid-altantic area 5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Mid-altantic area 6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Mid-altantic area 7</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Florida area 1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Florida area 2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Florida area 3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Florida area 4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Florida area 5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Florida area 6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Florida area 7</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Florida area 8</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Florida area 9</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Florida area 10</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Florida area 11</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Florida area 12</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Florida area 13</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Florida area 14</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Rutgers</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>BitmapPage</name>
    <message>
        <location filename="../src/printing/BitmapPage.h" line="+27"/>
        <source>Bitmap load error while printing</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ChartCaption</name>
    <message>
        <location filename="../src/printing/ChartCaption.cpp" line="+34"/>
        <source>chart of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>%1, %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ChartDecoding</name>
    <message>
        <location filename="../src/archive/ChartDecoding.cpp" line="+42"/>
        <source>Out of memory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+33"/>
        <source>The chart holds no picture: the file ends before its image data.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ChartExport</name>
    <message>
        <location filename="../src/export/ChartExport.cpp" line="+45"/>
        <source>GPX tracks for a chart plotter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>KAP raster chart</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>MBTiles raster tiles</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>GeoTIFF picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>KMZ for Google Earth</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+104"/>
        <source>The file name names no export format: it must end in .gpx, .kap, .mbtiles, .tif, .tiff or .kmz.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>All files (*.*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+15"/>
        <source>The chart itself cannot be replaced by an export. Choose another file name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Exports cannot be written in the chart archive, where nothing but charts belongs. Choose another folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Garmin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Garmin, older models (15 tracks)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Lowrance, Simrad, B&amp;G</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Raymarine</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Humminbird</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Chart software or phone app</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+153"/>
        <source>%1 tracks for %2; thinning to its points moved the lines by up to %3 m (%4 chart pixels).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Thinning the lines to the %1&apos;s points moved them by up to %2 m, %3 chart pixels, off the lines on the chart. Fewer isotherms, or chart software, keep them in place.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Break lines left out to fit the %1&apos;s %2 tracks: %3, the weakest (%4 ଏ/NM and below).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Pieces of lines left out to stay within the %1&apos;s points: %2, each shorter than %3 m.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+67"/>
        <source>The temperature grid goes only into a GeoTIFF (.tif).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The chart&apos;s temperatures cannot be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Nothing to put in the GPX file: choose breaks, isotherms or waypoints.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>A KAP, MBTiles, GeoTIFF or KMZ file is the chart picture and cannot leave it out.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The chart&apos;s area has no calibration, so the chart has no place on the earth.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ChartFiles</name>
    <message>
        <location filename="../src/app/ChartFiles.cpp" line="+24"/>
        <source>Error in file &quot;%1&quot; - the file extension is not .gif</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>You have attempted to open up an area file with an improper extension.  Please take look at the area file you have just downloaded from our website and make sure that it has the extension of .gif and nothing else.  It should look like the following file example for area 5:<byte value="xd"/><byte value="xd"/>area5.gif<byte value="xd"/><byte value="xd"/>If the chart file has an .art or .bmp or any other type of file extension (found by looking to the right of the dot) then this is indicative of a minor problem that was most likely caused by your browser or computer settings.  For the most common fix, delete the bad chart file and simply use another browser (or non-AOL browser if you are using AOL) to re-download the chart file.  If the extension still continues to be something other than a .gif,  then please go to the troubleshooting section of our website for other remedies to this problem.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+16"/>
        <source>%1 - Pelagon</source>
        <extracomment>The task-bar title; %1 is the chart&apos;s base name, such as AREA-NE01.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&quot;Pelagon&quot; Chart viewer (from Brinecast) - %1</source>
        <extracomment>The window caption; %1 is the area code (ne01, fl12, ...) or &quot;(unknown area)&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>(unknown area)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+34"/>
        <source>The file ends before the chart does: it is not a whole GIF picture. Perhaps its download stopped part-way; fetch the chart again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The file is not a GIF picture, so it holds no chart.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The file is damaged: its GIF picture cannot be read (%1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The chart %1 is not there: it has been moved, renamed or put in the trash.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/ChartFiles.h" line="+59"/>
        <source>Not enough memory to open the chart</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unrecognised area - no geographic annotation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Warning: internal error - area not recognised</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ChartFlipping</name>
    <message>
        <location filename="../src/archive/ChartFlipping.cpp" line="+63"/>
        <source>You can only select up to %1 images for flipping.  The most recent %2 have been selected.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ChartIntake</name>
    <message>
        <location filename="../src/archive/ChartIntake.cpp" line="+81"/>
        <source>The chart %1 is incomplete: its picture ends early. It is shown where it is and not filed in the chart archive.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ChartMetadata</name>
    <message>
        <location filename="../src/geo/ChartMetadata.cpp" line="+177"/>
        <source>Temperature range in chart is: %1 .. %2</source>
        <extracomment>%1 and %2 are the scale&apos;s ends with their unit (50°F, or 10.0°C).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>E</source>
        <comment>east variation</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>W</source>
        <comment>west variation</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Temperature range in chart is: %1 .. %3<byte value="xd"/>Magnetic variation is %4%2 %5</source>
        <extracomment>%1 and %3 are the scale&apos;s ends with their unit (50°F, or 10.0°C), %2 the degree sign, %4 the variation&apos;s size in degrees and %5 its side (E or W).</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GIFEncoder</name>
    <message>
        <location filename="../src/gif/GIFEncoder.cpp" line="+125"/>
        <source>frame %1: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>width and height must be 1 to 65535</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>left and top must be 0 to 65535</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>local colour table exceeds 256 entries</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>index count is not width * height</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>transparent index must be 0 to 255</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>delay must be 0 to 65535</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>index %1 outside the colour table of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+138"/>
        <source>logical screen width and height must be 1 to 65535</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>global colour table exceeds 256 entries</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>background index must be 0 to 255</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>an application extension needs an identifier of 8 bytes and an authentication code of 3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+44"/>
        <source>cannot open %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+3"/>
        <source>cannot write %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GIFImage</name>
    <message>
        <location filename="../src/gif/GIFImage.cpp" line="+685"/>
        <source>more than %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/gif/GIFImage.h" line="+42"/>
        <source>Invalid GIF signature</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Premature end of data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Unknown extension type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Invalid extension introducer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Internal error: Extension Instance does not match Extension Label</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Unsupported Application Extension block size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Invalid GIF data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Unknown GIF block type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Image exceeds Logical Screen size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Decoder bit buffer under-run</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Circular decoder table entry</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Invalid Image trailer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No global or local color table defined</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Failed to allocate memory for GIF DIB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cannot open %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Invalid GIF data: LZW minimum code size %1 is above the largest possible (11)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Image too large: %1 x %2 pixels (at most 16384 pixels on a side)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Image too large: more than 67108864 pixels in the logical screen and all frames together</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>File too large: %1 bytes (a GIF within this decoder&apos;s limits has at most 134217728)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Invalid GIF data: the logical screen is %1 x %2 pixels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Too many blocks: more than 65536 frames and extensions together</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Too many data sub-blocks: more than 1048576 in the extensions together</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Comment text beyond 1048576 bytes skipped</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Gpx</name>
    <message>
        <location filename="../src/geo/Gpx.cpp" line="+312"/>
        <location line="+75"/>
        <source>The file is too large for a GPX waypoint file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-72"/>
        <source>The GPX file is not in a text encoding that can be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The GPX file has an element with more than %1 attributes; such files are not read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+16"/>
        <source>The GPX file has a document type declaration; such files are not read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The GPX file uses entities; such files are not read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>The file is not a GPX 1.0 or 1.1 file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>The GPX file is damaged (line %1: %2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>The GPX file holds no waypoints.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GpxTracks</name>
    <message>
        <location filename="../src/geo/GpxTracks.cpp" line="+185"/>
        <source>The chart&apos;s area has no calibration, so its lines have no positions.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+52"/>
        <source>The %1 isotherms need %1 tracks; the plotter takes %2. Ask for fewer temperatures.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+16"/>
        <source>A track needs at least %1 points; the plotter takes %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The %1 tracks need at least %2 points; the plotter takes %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+35"/>
        <location line="+9"/>
        <source>The lines cannot be thinned to the plotter&apos;s point budget.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GuardedApplication</name>
    <message>
        <location filename="../src/app/GuardedApplication.cpp" line="+17"/>
        <source>Not enough memory to complete the command</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MarkCommands</name>
    <message>
        <location filename="../src/app/MarkCommands.cpp" line="+22"/>
        <source>Add line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Add text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Erase line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Erase text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+69"/>
        <source>Clear all annotations</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Add waypoint</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Delete waypoint %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Rename waypoint %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Set home</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PointerTools</name>
    <message>
        <location filename="../src/app/PointerTools.cpp" line="+35"/>
        <source>This picture was saved with its lines and texts drawn in, so they cannot be changed here. Open the chart itself to change them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+144"/>
        <source>Confirm erase text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Are you sure you want to erase the text: <byte value="xd"/>&quot;%1&quot;<byte value="xd"/>at the point at X:%2, Y:%3 ?</source>
        <extracomment>%1 is the annotation text, %2 and %3 its position in chart pixels.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Confirm erase line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Are you sure you want to erase the line<byte value="xd"/>from  X:%1 Y:%2  to  X:%3 Y:%4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Clear all annotations</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Are you sure you want to clear all the annotations?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProfileFile</name>
    <message>
        <location filename="../src/platform/ProfileFile.cpp" line="+582"/>
        <source>Unable to write to %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QtMessageBoxes</name>
    <message>
        <location filename="../src/platform/QtMessageBoxes.cpp" line="+93"/>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QtPrinters</name>
    <message>
        <location filename="../src/platform/QtPrinters.cpp" line="+163"/>
        <source>Print to PDF file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>PDF files (*.pdf)|*.pdf</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+39"/>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Print setup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Print preview</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SessionEnd</name>
    <message>
        <location filename="../src/app/SessionEnd.cpp" line="+87"/>
        <source>The lines and texts could not be written to %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The waypoints could not be written to the settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Close without saving them? Choose No to keep the window open, make room or change the folder&apos;s permissions, and close again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Close without saving</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Keep the window open</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TAboutBoxVEK1</name>
    <message>
        <location filename="../src/app/AboutBox.cpp" line="+19"/>
        <source>About %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Version %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Viewer for sea-surface temperature charts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Free software under the MIT licence: use, copy and share it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Built with Qt %1, running on Qt %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TAreaMap</name>
    <message>
        <location filename="../src/dialogs/GetChartsForm.cpp" line="+52"/>
        <source>Click an area to choose it or leave it out.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TFormAddText</name>
    <message>
        <location filename="../src/dialogs/AddText.cpp" line="+15"/>
        <source>&lt;enter text here&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Enter annotation text</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TFormBreakThreshold</name>
    <message>
        <location filename="../src/dialogs/BreakThresholdForm.cpp" line="+15"/>
        <source>Temperature breaks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>A break is drawn where the water&apos;s temperature changes by at least this much within one nautical mile.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source> °F per NM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Threshold:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Strong breaks (0.7)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Weaker breaks too (0.35)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TFormExport</name>
    <message>
        <location filename="../src/dialogs/ExportForm.cpp" line="+19"/>
        <source>Export for chart plotter / chart software</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>GPX tracks for a chart plotter (.gpx)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>KAP raster chart for OpenCPN (.kap)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>MBTiles raster tiles (.mbtiles)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>GeoTIFF for QGIS (.tif)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>KMZ for Google Earth (.kmz)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Format:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&amp;Plotter:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>The chart pi&amp;cture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+64"/>
        <source>Isotherms: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-62"/>
        <source>Temperature &amp;breaks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Isotherms at</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Temperatures in ଏ, such as &quot;68, 70, 72&quot; or &quot;every 2&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The area&apos;s &amp;lines and texts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Home and waypoints</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The water&apos;s &amp;temperature grid instead of the picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Export...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TFormGetCharts</name>
    <message>
        <location filename="../src/dialogs/GetChartsForm.cpp" line="-14"/>
        <source>North-east</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mid-Atlantic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Florida and the Gulf of Mexico</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Get charts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+32"/>
        <source>&amp;Source:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Latest</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Day:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Get these areas&apos; latest charts once a day at st&amp;art-up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Area</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Result</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>&amp;Get charts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+80"/>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Waiting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Asking the server...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Downloading (%1 kB)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Failed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Already in the archive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Filed</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <location line="+19"/>
        <source>%n new chart(s) filed.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%n already in the archive.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%n failed: see the list above.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TFormIsotherms</name>
    <message>
        <location filename="../src/dialogs/IsothermForm.cpp" line="+16"/>
        <source>Isotherms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>A line is drawn where the water crosses each temperature: a list such as &quot;68, 70, 72&quot;, or &quot;every 2&quot; for every second degree.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+14"/>
        <source>&amp;Temperatures:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Show isotherms</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TFormManageArchive</name>
    <message>
        <location filename="../src/dialogs/ArchiveManagerForm.cpp" line="+29"/>
        <location line="+39"/>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-35"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Manage chart archive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Move to trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Flip any charts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Check the chart files to move to the trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Check the chart files to flip</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TFormPrint</name>
    <message>
        <location filename="../src/dialogs/PrintForm.cpp" line="+67"/>
        <source> Print range </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Selection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Caption under the chart</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The area, the chart&apos;s date and age, the temperature range and the corners&apos; positions under the printed chart</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Setup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+19"/>
        <source>&quot;Pelagon&quot; - print image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+101"/>
        <source>Selection too small to print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+43"/>
        <source>Printing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+53"/>
        <source>The chart could not be printed: the printer could not be opened. Choose one with Setup.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The chart was not printed completely.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TFormThalwise</name>
    <message>
        <location filename="../src/app/ThalwiseFormSession.cpp" line="+58"/>
        <source>&quot;Pelagon&quot; Chart viewer (from Brinecast)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+368"/>
        <source>&amp;Undo %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Redo %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/ThalwiseForm.cpp" line="+282"/>
        <source>Temp</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/ThalwiseFormWaypoints.cpp" line="+72"/>
        <source>Right-click the list for options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/ThalwiseFormExtras.cpp" line="+27"/>
        <source>Temperature history</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>&amp;Pin here</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Follow the pointer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/ThalwiseForm.cpp" line="+72"/>
        <source>Open chart to view</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Save annotated image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>GIF image (*.gif)|*.gif|All files (*.*)|*.*</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>GPX waypoints (*.gpx)|*.gpx|All files (*.*)|*.*</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+41"/>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Open...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Open &amp;archive...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Open &amp;recent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Clear list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>&amp;Flip latest charts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Flip a&amp;ny charts...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Sa&amp;ve As...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Export for chart plotter / chart software...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Export waypoints (GPX)...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Import waypoints (GPX)...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Print...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Print setup...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <location filename="../src/app/ThalwiseFormSession.cpp" line="-2"/>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <location filename="../src/app/ThalwiseFormSession.cpp" line="+3"/>
        <source>&amp;Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Annotation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Clear all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Font</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Outline</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Fit to window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Normal view</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Zoom in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Zoom in a &amp;step</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zoom &amp;out a step</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Lat/Lon (Decimal/GPS format)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Lat/Lon (Traditional degrees &amp;&amp; minutes)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Heading format (Magnetic)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Heading format (True)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Temperature in °&amp;C</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Temperature &amp;breaks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Break &amp;threshold...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Isotherms...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>High&amp;light the slider&apos;s temperature</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&amp;Waypoints</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Temperature &amp;history</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/ThalwiseFormArchive.cpp" line="+42"/>
        <source>&amp;Tools</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Area to flip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Delete charts after</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+30"/>
        <source>&amp;Manage archive...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Purge old charts...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/ThalwiseFormSession.cpp" line="+31"/>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Contents...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Getting started...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Index...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Search for Help On...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;About...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/ThalwiseFormWaypoints.cpp" line="+36"/>
        <source>Clear all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Details</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+164"/>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-163"/>
        <source>Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Export waypoints (GPX)...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Import waypoints (GPX)...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Hide waypoint list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/ThalwiseFormExtras.cpp" line="+14"/>
        <source>Point at the water to see its temperature on each chart, or right-click and pin a spot.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Pinned: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/ThalwiseFormArchive.cpp" line="+45"/>
        <source>Open archive chart to view</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/ThalwiseFormCharts.cpp" line="+340"/>
        <source>More than two days old: the water may have changed since.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/ThalwiseFormWaypoints.cpp" line="+12"/>
        <source>Waypoints</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+147"/>
        <source>Delete waypoint %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+29"/>
        <location line="+6"/>
        <source>Clear all waypoints</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-5"/>
        <source>Are you sure you want to clear all the waypoints?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+22"/>
        <source>The waypoint list could not be printed: the printer could not be opened. Choose one with File &gt; Print setup...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The waypoint list was not printed completely.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Export waypoints (GPX)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Import waypoints (GPX)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+15"/>
        <location line="+17"/>
        <source>Import waypoints</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-16"/>
        <source>The list holds %1 waypoints. Replace them with the %2 waypoints of %3, or add these after them?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&amp;Replace</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>%1 of the waypoints in %2 lie at latitude or longitude 0 and were left out.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/ThalwiseFormArchive.cpp" line="+98"/>
        <source>Loading charts to flip...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/ThalwiseFormExport.cpp" line="+34"/>
        <location line="+60"/>
        <source>Export for chart plotter / chart software</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/ThalwiseFormPointer.cpp" line="+320"/>
        <source>%1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/ThalwiseFormFetch.cpp" line="+28"/>
        <source>&amp;Get charts...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Today&apos;s charts are still being got; try again in a moment.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <location line="+41"/>
        <source>%n new chart(s) got for today.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n could not be got: see File &gt; Get charts.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Getting today&apos;s charts...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>THelpWindow</name>
    <message>
        <location filename="../src/app/HelpWindow.cpp" line="+35"/>
        <source>Thalwise Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>&amp;Contents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Type a keyword</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>&amp;Index</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Words to find</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+10"/>
        <source>&amp;Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+16"/>
        <source>&amp;Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Forward</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Home</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+111"/>
        <source>Nothing found</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>THistoryPlot</name>
    <message>
        <location filename="../src/app/HistoryPlot.cpp" line="+36"/>
        <source>Flip through two charts or more to see how the water changed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+43"/>
        <source>No chart gives a temperature here.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TemperatureScale</name>
    <message>
        <location filename="../src/geo/TemperatureScale.cpp" line="+197"/>
        <source>%1 is %2</source>
        <extracomment>A scale end&apos;s up-down: %1 its value in °F, %2 the same in °C.</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ThalwiseUtils</name>
    <message>
        <location filename="../src/geo/ThalwiseUtils.cpp" line="+150"/>
        <source> (mag.)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source> (true)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+60"/>
        <source>Lat: %1    Lon: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Temperature: %1</source>
        <extracomment>%1 is the water temperature with its unit, such as 65.3°F or 18.5°C.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Range: %1 NM at %2</source>
        <extracomment>%1 is the distance in nautical miles, %2 the heading with &quot;(mag.)&quot; or &quot;(true)&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+18"/>
        <source>X: %1, Y: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WaypointTable</name>
    <message>
        <location filename="../src/geo/WaypointTable.cpp" line="+23"/>
        <source>    %1<byte value="xd"/> &quot;decimal&quot;<byte value="xd"/>   (GPS)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>   %1<byte value="xd"/> dd%2mm&apos;</source>
        <extracomment>%1 is &quot;Lat&quot; or &quot;Lon&quot;, %2 the degree sign: degrees and minutes.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Lat</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Lon</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source> Temp<byte value="xd"/>   %1</source>
        <extracomment>%1 is the unit, °F or °C.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>  Dist.<byte value="xd"/>   NM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source> Heading<byte value="xd"/>  (mag)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source> Heading<byte value="xd"/> (true)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source> Total<byte value="xd"/>  Dist.<byte value="xd"/>   NM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source> Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source> Home</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+46"/>
        <source>Home location - lat: %1  lon: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Waypoint: %1  lat: %2  lon: %3  T: %4  dist: %5 NM at %6  total: %7 NM</source>
        <extracomment>One printed leg: %1 the waypoint&apos;s number, %2 and %3 its position, %4 the water temperature with its unit (or &quot;-&quot; for none), %5 the leg&apos;s distance, %6 its heading with &quot;(mag.)&quot; or &quot;(true)&quot;, %7 the distance from home so far.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>  name: %1</source>
        <extracomment>After a printed leg: the waypoint&apos;s name.</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>exports</name>
    <message>
        <location filename="../src/export/TemporaryOutput.cpp" line="+26"/>
        <source>Cannot write in the folder of %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/export/ChartGeoreference.cpp" line="+58"/>
        <location filename="../src/export/GeoTiffWriter.cpp" line="+150"/>
        <source>The chart&apos;s area has no calibration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>There is no picture of the chart</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/export/GeoTiffWriter.cpp" line="+4"/>
        <source>There is no temperature grid of the chart</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+17"/>
        <source>the TIFF could not be made</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+5"/>
        <location filename="../src/export/KapWriter.cpp" line="+286"/>
        <location filename="../src/export/TemporaryOutput.cpp" line="+16"/>
        <source>Cannot write %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/export/KapWriter.cpp" line="-22"/>
        <location line="+15"/>
        <source>The chart is too large for KAP</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>fetch</name>
    <message>
        <location filename="../src/fetch/ChartFetch.cpp" line="+51"/>
        <source>The data carries no time, so its chart cannot be filed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+34"/>
        <source>&quot;%1&quot; is not the code of a chart area, such as ne01 or fl10.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>No area was given.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>fetch::ChartFetcher</name>
    <message>
        <location line="+27"/>
        <source>There is no data source named &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+16"/>
        <location line="+23"/>
        <source>Cancelled.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-9"/>
        <source>The area has no chart box.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>net</name>
    <message>
        <location filename="../src/net/HttpGet.cpp" line="+33"/>
        <source>The server&apos;s name could not be found. Is the computer connected to the internet?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The server refused the connection.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The server closed the connection before the whole answer came.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The server&apos;s certificate could not be trusted, so nothing was taken from it (%1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The proxy server the desktop names could not be used (%1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The network went away during the download.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>net::HttpGet</name>
    <message>
        <location line="+28"/>
        <source>The server did not answer within %1 seconds.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Only secure (https) addresses are used: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+14"/>
        <location line="+4"/>
        <source>Cancelled.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+29"/>
        <location line="+8"/>
        <source>The answer is larger than %1 MB; nothing was taken.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+32"/>
        <source>The server sent the request round too many redirects.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The server redirected to an address that is not secure (%1); it was not followed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+18"/>
        <source>The download stalled: nothing came for %1 seconds.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The download was cut off before it was complete.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>sst</name>
    <message>
        <location filename="../src/sst/DataChart.cpp" line="+136"/>
        <source>No chart area is given.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The data holds no grid.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+14"/>
        <source>The data does not reach this area.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/sst/DataChartFiling.cpp" line="+59"/>
        <source>The chart has no time stamp to file it under.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No temporary folder to write the chart in.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The chart could not be written.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The chart could not be filed in %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/sst/NetcdfGrid.cpp" line="+693"/>
        <source>This is not a NetCDF file this program can read (%1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+44"/>
        <source>The data file is empty.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The answer is a NetCDF-4 file, which this program reads only from a file you choose, never from a download.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The data file is cut short or its header is damaged.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>This is not a NetCDF file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+26"/>
        <source>There is no file %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/sst/ResponseCheck.cpp" line="+58"/>
        <source>The server answered: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The server gave no answer.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The server answered with HTTP status %1 and no explanation.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The server sent an empty answer.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The download was cut short: %1 of %2 bytes arrived.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The answer was a web page, not sea temperature data. A network that wants you to sign in first (in a hotel, a marina or a café) sends such pages: sign in with a web browser, then try again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The answer was not sea temperature data (no NetCDF file).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/sst/SstSources.cpp" line="+12"/>
        <source>cloud-free analysis, 0.01°, daily</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>latest pass, 0.02°, daily, clouds as gaps</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>sst::Reader</name>
    <message>
        <location filename="../src/sst/NetcdfGrid.cpp" line="-676"/>
        <source>The data file is damaged or cut short (%1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+39"/>
        <location line="+17"/>
        <source>The data file has an attribute &quot;%1&quot; of absurd length.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+48"/>
        <source>The data file has no cells along %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The data file has an absurd number of cells along %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The data file does not say where its cells lie along %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The data file&apos;s %1 values are not positions.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The data file&apos;s %1 values are out of order.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+142"/>
        <source>The data file is cut short (%1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>The data file has an absurd number of variables.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The data file holds no sea-surface temperature over latitude and longitude.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+16"/>
        <source>The data file gives %1 in &quot;%2&quot;, which is no temperature unit this program knows.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The data file does not say in which unit %1 is given.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+21"/>
        <source>The data file&apos;s scale or offset of %1 is no number.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+18"/>
        <source>The data file holds no values of %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+22"/>
        <source>The data file holds no data for this area.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The data file&apos;s grid is too large to read whole; choose an area.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>The data file&apos;s latitudes are not positions.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
