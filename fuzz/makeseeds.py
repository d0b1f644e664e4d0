#!/usr/bin/env python3
"""Writes the seed corpora of the pool reader's fuzz targets from the test pool.

usage: fuzz/makeseeds.py    (from anywhere; rewrites fuzz/*/corpus)

poolreader-text gets the pool in UTF-8, UTF-8 with a byte-order mark and CR LF, and
Windows-1252, and a few short pools with faults. poolreader-docx gets the pool as a .docx, its
words cut into runs, with a captioned picture, and a short word/document.xml on its own that
holds the other ways Word places pictures (v:imagedata, mc:AlternateContent).
"""

import pathlib
import zipfile
from xml.sax.saxutils import escape

here = pathlib.Path(__file__).resolve().parent
pool = (here.parent / "tests" / "data" / "pools" / "general.txt").read_text(encoding="utf-8")
lines = pool.split("\n")

# A picture of one grey pixel.
PNG = bytes.fromhex(
    "89504e470d0a1a0a0000000d49484452000000010000000108000000003a7e9b55"
    "0000000a49444154789c636000000002000148afa4710000000049454e44ae426082")

NAMESPACES = (
    'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" '
    'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" '
    'xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing" '
    'xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" '
    'xmlns:pic="http://schemas.openxmlformats.org/drawingml/2006/picture" '
    'xmlns:v="urn:schemas-microsoft-com:vml" '
    'xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006"')


def paragraph(line, picture=None):
    """One paragraph; the line's words cut in two runs at their middle, the first space a tab."""
    runs = []
    for i, word in enumerate(line.split(" ")):
        if i == 1:
            runs.append("<w:r><w:tab/></w:r>")
        elif i > 1:
            runs.append('<w:r><w:t xml:space="preserve"> </w:t></w:r>')
        half = len(word) // 2
        for piece in (word[:half], word[half:]):
            if piece:
                runs.append("<w:r><w:t>%s</w:t></w:r>" % escape(piece))
    if picture:
        runs.append('<w:r><w:drawing><wp:inline><a:graphic><a:graphicData><pic:pic>'
                    '<pic:blipFill><a:blip r:embed="%s"/></pic:blipFill></pic:pic>'
                    '</a:graphicData></a:graphic></wp:inline></w:drawing></w:r>' % picture)
    return "<w:p>%s</w:p>" % "".join(runs)


def document(body):
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            "<w:document %s><w:body>%s<w:sectPr/></w:body></w:document>" % (NAMESPACES, body))


def write(folder, name, data):
    path = here / folder / "corpus" / name
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(data)


def windows1252(text):
    return text.encode("cp1252")


write("poolreader-text", "general-utf8.txt", pool.encode("utf-8"))
write("poolreader-text", "general-bom-crlf.txt",
      b"\xef\xbb\xbf" + pool.replace("\n", "\r\n").encode("utf-8"))
write("poolreader-text", "general-1252.txt", windows1252(pool))
short = "\n".join(lines[:28]) + "\n"  # the first two questions
write("poolreader-text", "short.txt", short.encode("utf-8"))
write("poolreader-text", "short-fifth-choice.txt",
      short.replace("D. 30 meters\n", "D. 30 meters\nE. 12 meters\n").encode("utf-8"))
write("poolreader-text", "short-withdrawn-group.txt",
      ("\n".join(lines[:11]) + "\nG1A01 (A)\nQuestion withdrawn\n~~\n").encode("utf-8"))

caption = lines.index("Figure G7-1")
body = "".join(paragraph(line, "rId10" if i == caption else None) for i, line in enumerate(lines))
relationships = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
    '<Relationship Id="rId10" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
    'relationships/image" Target="media/image1.png"/></Relationships>')
docx = here / "poolreader-docx" / "corpus" / "general.docx"
docx.parent.mkdir(parents=True, exist_ok=True)
with zipfile.ZipFile(docx, "w", zipfile.ZIP_DEFLATED) as archive:
    # A fixed date, so that the seed is the same at every run of this script.
    def add(name, data):
        archive.writestr(zipfile.ZipInfo(name, (2024, 1, 1, 0, 0, 0)), data,
                         zipfile.ZIP_DEFLATED)
    add("word/document.xml", document(body))
    add("word/_rels/document.xml.rels", relationships)
    add("word/media/image1.png", PNG)

pictures = (
    paragraph(lines[caption - 1], "rId10")
    + '<w:p><w:r><w:pict><v:shape><v:imagedata r:id="rId11"/></v:shape></w:pict></w:r></w:p>'
    + "<w:p><w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing><a:blip "
      "r:embed=\"rId12\"/></w:drawing></mc:Choice><mc:Fallback><w:pict><w:p><w:r><w:t>again"
      "</w:t></w:r></w:p></w:pict></mc:Fallback></mc:AlternateContent></w:r></w:p>"
    + paragraph("Figure G7-1"))
head = "".join(paragraph(line) for line in lines[:28])
write("poolreader-docx", "document.xml", document(head + pictures).encode("utf-8"))
