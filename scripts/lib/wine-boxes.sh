# Reading what Wine's message boxes showed: run a program with WINEDEBUG=-all,trace+msgbox and
# its stderr in a file; wine_box_texts FILE prints the text of every box it opened, one per line,
# line breaks inside a box shown as " | " (Wine writes wide strings with \XXXX escapes).
wine_box_texts() {
  grep -a 'msgbox:MSGBOX_OnInit' "$1" 2>/dev/null | perl -CS -ne '
    next unless /L"(.*)"\s*$/; my $t = $1;
    $t =~ s/\\r\\n|\\n|\\r/ | /g; $t =~ s/\\([0-9a-fA-F]{4})/chr(hex($1))/ge;
    $t =~ s/\\(.)/$1/g; print "$t\n";'
}
