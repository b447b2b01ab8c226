#!/bin/sh
# The editor says at start-up, on standard error, when no installed font has
# Japanese characters, and says nothing of the kind when one has. The editor runs
# offscreen for a few seconds on a copy of the sample and is then stopped.
# Usage: font_note_test.sh QUORVEL SAMPLE SCRATCH_FOLDER
set -eu
quorvel=$1 sample=$2 scratch=$3
rm -rf "$scratch" && mkdir -p "$scratch/fonts"
cp "$sample" "$scratch/sample.fnt"
cat > "$scratch/no-fonts.conf" <<CONF
<?xml version="1.0"?>
<fontconfig><dir>$scratch/fonts</dir><cachedir>$scratch/cache</cachedir></fontconfig>
CONF
note="no installed font has Japanese characters"

without=$(FONTCONFIG_FILE="$scratch/no-fonts.conf" QT_QPA_PLATFORM=offscreen \
          timeout 5 "$quorvel" "$scratch/sample.fnt" 2>&1 || true)
echo "$without" | grep -q "^quorvel: $note" || { echo "no note without fonts: $without"; exit 1; }

with=$(QT_QPA_PLATFORM=offscreen timeout 5 "$quorvel" "$scratch/sample.fnt" 2>&1 || true)
if echo "$with" | grep -q "$note"; then echo "a note although fonts are installed"; exit 1; fi
