// bomline next
