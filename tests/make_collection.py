#!/usr/bin/python3
"""Writes a font collection: make_collection.py OUT.ttc FONT..."""
import os
import sys

from fontTools.ttLib import TTCollection, TTFont

collection = TTCollection()
collection.fonts = [TTFont(path) for path in sys.argv[2:]]
os.makedirs(os.path.dirname(os.path.abspath(sys.argv[1])), exist_ok=True)
collection.save(sys.argv[1])
