# Turns the --help text of zarnik, zarnik-cli or one zarnik-cli command into manual page
# source (roff), one part at a time:
#   part=usage        the usage line, its first `bold` words (default 1: the program) in bold
#   part=description  the first line of the help, then the lines after the option lists
#   part=options      every entry of every option list but the command list
#   part=commands     the names in the command list ("Subcommands:"), one a line
#   part=exit         the text of the "Exit status:" line
#   part=command      a whole subsection for a command: usage, text and option list
# The help's "Settings file:" line names the file of the run that printed it, not the
# installed program's: the pages say where the file lies in a section of their own.

function roff_text(s) {
  gsub(/\\/, "\\e", s)
  return s
}

# A text line that does not start a request.
function text_line(s) {
  if (s ~ /^[.']/) {
    s = "\\&" s
  }
  return s
}

# An option list entry's names: options in bold, values and placeholders in italics.
function entry_names(s,    count, words, i, word, out) {
  count = split(s, words, " ")
  out = ""
  for (i = 1; i <= count; i++) {
    word = roff_text(words[i])
    gsub(/-/, "\\-", word)
    word = (words[i] ~ /^-/ ? "\\fB" : "\\fI") word "\\fR"
    out = out (i > 1 ? " " : "") word
  }
  return out
}

# The usage line with the first `bold_words` words (the program, the command) in bold.
function usage_lines(s, bold_words,    count, words, i, name, rest) {
  count = split(s, words, " ")
  name = ""
  rest = ""
  for (i = 1; i <= count; i++) {
    if (i <= bold_words) {
      name = name (i > 1 ? " " : "") words[i]
    } else {
      rest = rest (rest == "" ? "" : " ") words[i]
    }
  }
  name = roff_text(name)
  gsub(/-/, "\\-", name)
  return ".B " name (rest == "" ? "" : "\n" text_line(roff_text(rest)))
}

BEGIN {
  list = ""          # the option list being read ("Options", "Subcommands", ...), or ""
  entries = 0
  paragraphs = 0
  description = ""
  usage = ""
  exit_text = ""
}

/^Usage: / {
  usage = substr($0, 8)
  next
}

# "Options:", "Positionals:", "Subcommands:": an option list starts.
/^[A-Z][A-Za-z ]*:$/ {
  list = substr($0, 1, length($0) - 1)
  next
}

/^[ \t]*$/ {
  list = ""
  next
}

# An entry: two spaces, its names, two or more spaces, its text (or the text on the next
# lines when the names are long). A deeper line carries on the entry above.
list != "" && /^  [^ ]/ {
  line = substr($0, 3)
  split_at = match(line, /   */)
  names = split_at ? substr(line, 1, split_at - 1) : line
  text = split_at ? substr(line, split_at + RLENGTH) : ""
  entries++
  entry_list[entries] = list
  entry_name[entries] = names
  entry_text[entries] = text
  next
}

list != "" && /^   / {
  line = $0
  sub(/^ +/, "", line)
  entry_text[entries] = entry_text[entries] (entry_text[entries] == "" ? "" : " ") line
  next
}

/^Settings file: / {
  next
}

/^Exit status: / {
  exit_text = substr($0, 14)
  next
}

{
  if (description == "") {
    description = $0
  } else {
    paragraph[++paragraphs] = $0
  }
}

function print_text(    i) {
  print text_line(roff_text(description))
  for (i = 1; i <= paragraphs; i++) {
    print ".PP"
    print text_line(roff_text(paragraph[i]))
  }
}

function print_entries(    i) {
  for (i = 1; i <= entries; i++) {
    if (entry_list[i] == "Subcommands") {
      continue
    }
    print ".TP"
    print entry_names(entry_name[i])
    print text_line(roff_text(entry_text[i]))
  }
}

END {
  if (part == "usage") {
    print usage_lines(usage, bold == "" ? 1 : bold)
  } else if (part == "description") {
    print_text()
  } else if (part == "options") {
    print_entries()
  } else if (part == "commands") {
    for (i = 1; i <= entries; i++) {
      if (entry_list[i] == "Subcommands") {
        print entry_name[i]
      }
    }
  } else if (part == "exit") {
    print text_line(roff_text(exit_text))
  } else if (part == "command") {
    split(usage, usage_words, " ")
    print ".SS " usage_words[2]
    print usage_lines(usage, 2)
    print ".PP"
    print_text()
    print_entries()
  }
}
